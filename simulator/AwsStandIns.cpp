#include "AwsStandIns.h"

#include "RandomText.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace VorelSim {

namespace {
const QString stsNamespace = QStringLiteral("https://sts.amazonaws.com/doc/2011-06-15/");
const QString stsVersion = QStringLiteral("2011-06-15");
const QByteArray translateTarget = "AWSShineFrontendService_20170701.TranslateText";
const QByteArray amzJson = "application/x-amz-json-1.1";
constexpr int maxTextBytes = 10000;

const QStringList languages = {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("es"),
                               QStringLiteral("fr"), QStringLiteral("it"), QStringLiteral("ja"),
                               QStringLiteral("nl"), QStringLiteral("pt"), QStringLiteral("zh")};

// A few phrases the stand-in knows; anything else comes back marked with the target language.
QString translated(const QString &text, const QString &target)
{
    static const QMap<QString, QMap<QString, QString>> phrases = {
        {QStringLiteral("Hello world."),
         {{QStringLiteral("de"), QStringLiteral("Hallo Welt.")},
          {QStringLiteral("es"), QStringLiteral("¡Hola, mundo!")},
          {QStringLiteral("fr"), QStringLiteral("Bonjour le monde.")}}},
        {QStringLiteral("Good morning"),
         {{QStringLiteral("de"), QStringLiteral("Guten Morgen")},
          {QStringLiteral("fr"), QStringLiteral("Bonjour")}}},
    };
    const QString known = phrases.value(text).value(target);
    return known.isEmpty() ? QStringLiteral("[%1] %2").arg(target, text) : known;
}

QString validationMessage(const QString &member, const QString &constraint)
{
    return QStringLiteral(
               "1 validation error detected: Value at '%1' failed to satisfy constraint: %2")
        .arg(member, constraint);
}

HttpReply xmlReply(const QByteArray &xml, int status)
{
    HttpReply reply{status, "text/xml", xml, {}};
    reply.headers.append({"x-amzn-RequestId", RandomText::uuid().toUtf8()});
    return reply;
}
} // namespace

void AwsStandIns::addRoutes(Router &router, const QString &base)
{
    router.add(
        "POST", base + QStringLiteral("/"), QStringLiteral("aws"),
        [this](const HttpRequest &request, const QStringList &) { return dispatch(request); });
}

HttpReply AwsStandIns::dispatch(const HttpRequest &request) const
{
    return request.header("X-Amz-Target").isEmpty() ? assumeRole(request) : translateText(request);
}

HttpReply AwsStandIns::assumeRole(const HttpRequest &request) const
{
    if (!isSigned(request))
        return stsError(403, QStringLiteral("Sender"), QStringLiteral("MissingAuthenticationToken"),
                        QStringLiteral("Request is missing Authentication Token"));
    const QMap<QString, QString> form = request.form();
    const QString action = form.value(QStringLiteral("Action"));
    if (action != QLatin1String("AssumeRole") ||
        form.value(QStringLiteral("Version")) != stsVersion)
        return stsError(400, QStringLiteral("Sender"), QStringLiteral("InvalidAction"),
                        QStringLiteral("Could not find operation %1 for version %2")
                            .arg(action, form.value(QStringLiteral("Version"))));
    const QString roleArn = form.value(QStringLiteral("RoleArn"));
    const QString sessionName = form.value(QStringLiteral("RoleSessionName"));
    const QRegularExpression arnPattern(
        QStringLiteral("^arn:aws:iam::(\\d{12}):role/([\\w+=,.@/-]+)$"));
    const QRegularExpressionMatch arn = arnPattern.match(roleArn);
    if (!arn.hasMatch())
        return stsError(400, QStringLiteral("Sender"), QStringLiteral("ValidationError"),
                        validationMessage(QStringLiteral("roleArn"),
                                          QStringLiteral("Member must be a valid role ARN")));
    const QRegularExpression namePattern(QStringLiteral("^[\\w+=,.@-]{2,64}$"));
    if (!namePattern.match(sessionName).hasMatch())
        return stsError(
            400, QStringLiteral("Sender"), QStringLiteral("ValidationError"),
            validationMessage(QStringLiteral("roleSessionName"),
                              QStringLiteral("Member must satisfy regular expression "
                                             "pattern: [\\w+=,.@-]* and length 2 to 64")));
    qint64 duration = 3600;
    if (form.contains(QStringLiteral("DurationSeconds"))) {
        bool ok = false;
        duration = form.value(QStringLiteral("DurationSeconds")).toLongLong(&ok);
        if (!ok || duration < 900 || duration > 43200)
            return stsError(
                400, QStringLiteral("Sender"), QStringLiteral("ValidationError"),
                validationMessage(QStringLiteral("durationSeconds"),
                                  QStringLiteral("Member must have value between 900 and 43200")));
    }
    const bool hasPolicy = form.contains(QStringLiteral("Policy"));
    const QByteArray policy = form.value(QStringLiteral("Policy")).toUtf8();
    if (hasPolicy && !QJsonDocument::fromJson(policy).isObject())
        return stsError(400, QStringLiteral("Sender"), QStringLiteral("MalformedPolicyDocument"),
                        QStringLiteral("The policy is not in the valid JSON format."));

    const QString roleName = arn.captured(2).section(QLatin1Char('/'), -1);
    const QString account = arn.captured(1);
    const QString roleId =
        QStringLiteral("AROA") +
        RandomText::fromAlphabet(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ234567"), 17);
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartElement(QStringLiteral("AssumeRoleResponse"));
    writer.writeDefaultNamespace(stsNamespace);
    writer.writeStartElement(QStringLiteral("AssumeRoleResult"));
    writer.writeStartElement(QStringLiteral("Credentials"));
    writer.writeTextElement(
        QStringLiteral("AccessKeyId"),
        QStringLiteral("ASIA") +
            RandomText::fromAlphabet(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ234567"), 16));
    writer.writeTextElement(QStringLiteral("SecretAccessKey"), RandomText::token(40));
    writer.writeTextElement(QStringLiteral("SessionToken"), RandomText::token(356));
    writer.writeTextElement(
        QStringLiteral("Expiration"),
        m_context.now().addSecs(duration).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("AssumedRoleUser"));
    writer.writeTextElement(QStringLiteral("AssumedRoleId"),
                            roleId + QLatin1Char(':') + sessionName);
    writer.writeTextElement(
        QStringLiteral("Arn"),
        QStringLiteral("arn:aws:sts::%1:assumed-role/%2/%3").arg(account, roleName, sessionName));
    writer.writeEndElement();
    if (hasPolicy)
        writer.writeTextElement(QStringLiteral("PackedPolicySize"),
                                QString::number(qMin(100, int(policy.size()) / 10 + 1)));
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("ResponseMetadata"));
    writer.writeTextElement(QStringLiteral("RequestId"), RandomText::uuid());
    writer.writeEndElement();
    writer.writeEndElement();
    return xmlReply(xml, 200);
}

HttpReply AwsStandIns::translateText(const HttpRequest &request) const
{
    if (!isSigned(request))
        return jsonError(403, QStringLiteral("MissingAuthenticationTokenException"),
                         QStringLiteral("Missing Authentication Token"));
    if (request.header("X-Amz-Target") != translateTarget)
        return jsonError(400, QStringLiteral("UnknownOperationException"), {});
    if (!request.header("Content-Type").startsWith(amzJson))
        return jsonError(400, QStringLiteral("SerializationException"),
                         QStringLiteral("Expected Content-Type application/x-amz-json-1.1"));
    const QJsonDocument document = QJsonDocument::fromJson(request.body);
    if (!document.isObject())
        return jsonError(400, QStringLiteral("SerializationException"),
                         QStringLiteral("Start of structure or map found where not expected."));
    const QJsonObject body = document.object();
    for (const char *member : {"Text", "SourceLanguageCode", "TargetLanguageCode"}) {
        if (!body.value(QLatin1String(member)).isString())
            return jsonError(400, QStringLiteral("ValidationException"),
                             validationMessage(QLatin1String(member),
                                               QStringLiteral("Member must not be null")));
    }
    const QString text = body.value(QStringLiteral("Text")).toString();
    const QString sourceLanguage = body.value(QStringLiteral("SourceLanguageCode")).toString();
    const QString target = body.value(QStringLiteral("TargetLanguageCode")).toString();
    if (text.isEmpty())
        return jsonError(400, QStringLiteral("ValidationException"),
                         validationMessage(
                             QStringLiteral("text"),
                             QStringLiteral("Member must have length greater than or equal to 1")));
    if (text.toUtf8().size() > maxTextBytes)
        return jsonError(
            400, QStringLiteral("TextSizeLimitExceededException"),
            QStringLiteral("Input text size exceeds limit. Max length of request text allowed "
                           "is 10000 bytes while in this request the text size is %1 bytes")
                .arg(text.toUtf8().size()));
    const bool sourceKnown =
        sourceLanguage == QLatin1String("auto") || languages.contains(sourceLanguage);
    if (!sourceKnown || !languages.contains(target))
        return jsonError(
            400, QStringLiteral("UnsupportedLanguagePairException"),
            QStringLiteral("Unsupported language pair: %1 to %2.").arg(sourceLanguage, target),
            {{QStringLiteral("SourceLanguageCode"), sourceLanguage},
             {QStringLiteral("TargetLanguageCode"), target}});
    // Detection always finds English.
    const QString detected =
        sourceLanguage == QLatin1String("auto") ? QStringLiteral("en") : sourceLanguage;
    const QString result = detected == target ? text : translated(text, target);
    const QJsonObject reply{{QStringLiteral("TranslatedText"), result},
                            {QStringLiteral("SourceLanguageCode"), detected},
                            {QStringLiteral("TargetLanguageCode"), target}};
    HttpReply httpReply{200, amzJson, QJsonDocument(reply).toJson(QJsonDocument::Compact), {}};
    httpReply.headers.append({"x-amzn-RequestId", RandomText::uuid().toUtf8()});
    return httpReply;
}

HttpReply AwsStandIns::stsError(int status, const QString &type, const QString &code,
                                const QString &message)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartElement(QStringLiteral("ErrorResponse"));
    writer.writeDefaultNamespace(stsNamespace);
    writer.writeStartElement(QStringLiteral("Error"));
    writer.writeTextElement(QStringLiteral("Type"), type);
    writer.writeTextElement(QStringLiteral("Code"), code);
    writer.writeTextElement(QStringLiteral("Message"), message);
    writer.writeEndElement();
    writer.writeTextElement(QStringLiteral("RequestId"), RandomText::uuid());
    writer.writeEndElement();
    return xmlReply(xml, status);
}

HttpReply AwsStandIns::jsonError(int status, const QString &type, const QString &message,
                                 const QJsonObject &extra)
{
    QJsonObject body = extra;
    body.insert(QStringLiteral("__type"), type);
    if (!message.isEmpty())
        body.insert(QStringLiteral("Message"), message);
    HttpReply reply{status, amzJson, QJsonDocument(body).toJson(QJsonDocument::Compact), {}};
    reply.headers.append({"x-amzn-ErrorType", type.toUtf8()});
    reply.headers.append({"x-amzn-RequestId", RandomText::uuid().toUtf8()});
    return reply;
}

bool AwsStandIns::isSigned(const HttpRequest &request)
{
    return request.header("Authorization").startsWith("AWS4-HMAC-SHA256");
}

} // namespace VorelSim
