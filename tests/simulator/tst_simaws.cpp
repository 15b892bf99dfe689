// The STS AssumeRole and Translate TranslateText stand-ins: AWS wire formats for replies and
// errors.
#include "SimHttp.h"
#include "SimTestServer.h"

#include <QtTest>

namespace {
const QByteArray signature =
    "AWS4-HMAC-SHA256 Credential=AKIDEXAMPLE/20240601/us-east-1/sts/aws4_request, "
    "SignedHeaders=content-type;host;x-amz-date, Signature=0123";
const QByteArray stsForm =
    "Action=AssumeRole&Version=2011-06-15&RoleArn=arn%3Aaws%3Aiam%3A%3A123456789012%3Arole%2Fdemo"
    "&RoleSessionName=John-session";
const QByteArray translateTarget = "AWSShineFrontendService_20170701.TranslateText";

// Element texts of an XML document by element name; repeated names keep the last.
QMap<QString, QString> xmlTexts(const QByteArray &xml, QString *rootNamespace = nullptr)
{
    QMap<QString, QString> texts;
    QXmlStreamReader reader(xml);
    QString element;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (element.isEmpty()) {
                texts.insert(QStringLiteral("root"), reader.name().toString());
                if (rootNamespace)
                    *rootNamespace = reader.namespaceUri().toString();
            }
            element = reader.name().toString();
        } else if (token == QXmlStreamReader::Characters && !reader.isWhitespace()) {
            texts.insert(element, reader.text().toString());
        }
    }
    return texts;
}

SimReply assumeRole(SimHttp &http, const QByteArray &form,
                    const QByteArray &authorization = signature)
{
    QList<QPair<QByteArray, QByteArray>> headers = {
        {"Content-Type", "application/x-www-form-urlencoded; charset=utf-8"},
        {"X-Amz-Date", "20240601T120000Z"}};
    if (!authorization.isEmpty())
        headers.append({"Authorization", authorization});
    return http.send("POST", "/", form, headers);
}

SimReply translate(SimHttp &http, const QByteArray &body,
                   const QByteArray &target = translateTarget,
                   const QByteArray &authorization = signature)
{
    QList<QPair<QByteArray, QByteArray>> headers = {{"Content-Type", "application/x-amz-json-1.1"},
                                                    {"X-Amz-Target", target}};
    if (!authorization.isEmpty())
        headers.append({"Authorization", authorization});
    return http.send("POST", "/", body, headers);
}
} // namespace

class TestSimAws : public SimTestCase
{
    Q_OBJECT

private slots:
    void assumeRoleAnswersCredentials();
    void assumeRoleWithPolicy();
    void assumeRoleErrors_data();
    void assumeRoleErrors();
    void translateText_data();
    void translateText();
    void translateErrors_data();
    void translateErrors();
};

void TestSimAws::assumeRoleAnswersCredentials()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const SimReply reply = assumeRole(http, stsForm + "&DurationSeconds=1800");
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.header("Content-Type"), QByteArray("text/xml"));
    QString ns;
    const QMap<QString, QString> texts = xmlTexts(reply.body, &ns);
    QCOMPARE(texts.value("root"), QStringLiteral("AssumeRoleResponse"));
    QCOMPARE(ns, QStringLiteral("https://sts.amazonaws.com/doc/2011-06-15/"));
    QVERIFY(texts.value("AccessKeyId").startsWith("ASIA"));
    QCOMPARE(texts.value("AccessKeyId").size(), 20);
    QCOMPARE(texts.value("SecretAccessKey").size(), 40);
    QVERIFY(!texts.value("SessionToken").isEmpty());
    const QDateTime expiration = QDateTime::fromString(texts.value("Expiration"), Qt::ISODate);
    QCOMPARE(expiration.timeSpec(), Qt::UTC);
    const QDateTime now = sim.server.now();
    QCOMPARE(now.addMSecs(-now.time().msec()).secsTo(expiration), 1800);
    QCOMPARE(texts.value("Arn"),
             QStringLiteral("arn:aws:sts::123456789012:assumed-role/demo/John-session"));
    QVERIFY(texts.value("AssumedRoleId").startsWith("AROA"));
    QVERIFY(texts.value("AssumedRoleId").endsWith(":John-session"));
    QVERIFY(!texts.value("RequestId").isEmpty());
    QVERIFY(!texts.contains("PackedPolicySize"));
    QCOMPARE(sim.server.received("aws").size(), 1);
}

void TestSimAws::assumeRoleWithPolicy()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QByteArray policy = QUrl::toPercentEncoding(R"({"Version":"2012-10-17","Statement":[]})");
    const SimReply reply = assumeRole(http, stsForm + "&Policy=" + policy);
    QCOMPARE(reply.status, 200);
    const QMap<QString, QString> texts = xmlTexts(reply.body);
    QVERIFY(texts.value("PackedPolicySize").toInt() > 0);
    // Without a duration the default of one hour applies.
    const QDateTime now = sim.server.now();
    QCOMPARE(now.addMSecs(-now.time().msec())
                 .secsTo(QDateTime::fromString(texts.value("Expiration"), Qt::ISODate)),
             3600);
}

void TestSimAws::assumeRoleErrors_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QByteArray>("authorization");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");
    QTest::newRow("unsigned") << stsForm << QByteArray() << 403 << "MissingAuthenticationToken";
    QTest::newRow("other signature version")
        << stsForm << QByteArray("AWS AKID:sig") << 403 << "MissingAuthenticationToken";
    QTest::newRow("other action") << QByteArray("Action=GetCallerIdentity&Version=2011-06-15")
                                  << signature << 400 << "InvalidAction";
    QTest::newRow("no version") << QByteArray("Action=AssumeRole&RoleArn=a&RoleSessionName=bb")
                                << signature << 400 << "InvalidAction";
    QTest::newRow("no role") << QByteArray(
                                    "Action=AssumeRole&Version=2011-06-15&RoleSessionName=John")
                             << signature << 400 << "ValidationError";
    QTest::newRow("session name too short") << QByteArray(stsForm).replace("John-session", "J")
                                            << signature << 400 << "ValidationError";
    QTest::newRow("duration too short")
        << stsForm + "&DurationSeconds=100" << signature << 400 << "ValidationError";
    QTest::newRow("policy not JSON")
        << stsForm + "&Policy=allow-all" << signature << 400 << "MalformedPolicyDocument";
}

void TestSimAws::assumeRoleErrors()
{
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, authorization);
    QFETCH(int, status);
    QFETCH(QString, code);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const SimReply reply = assumeRole(http, form, authorization);
    QCOMPARE(reply.status, status);
    QString ns;
    const QMap<QString, QString> texts = xmlTexts(reply.body, &ns);
    QCOMPARE(texts.value("root"), QStringLiteral("ErrorResponse"));
    QCOMPARE(ns, QStringLiteral("https://sts.amazonaws.com/doc/2011-06-15/"));
    QCOMPARE(texts.value("Type"), QStringLiteral("Sender"));
    QCOMPARE(texts.value("Code"), code);
    QVERIFY(!texts.value("Message").isEmpty());
    QVERIFY(!texts.value("RequestId").isEmpty());
}

void TestSimAws::translateText_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("translated");
    QTest::addColumn<QString>("source");
    QTest::newRow("known phrase")
        << QByteArray(
               R"({"Text": "Hello world.","SourceLanguageCode": "en","TargetLanguageCode": "de"})")
        << "Hallo Welt."
        << "en";
    QTest::newRow("detected source")
        << QByteArray(
               R"({"Text":"Hello world.","SourceLanguageCode":"auto","TargetLanguageCode":"es"})")
        << QString::fromUtf8("¡Hola, mundo!") << "en";
    QTest::newRow("unknown text")
        << QByteArray(R"({"Text":"Agenda","SourceLanguageCode":"en","TargetLanguageCode":"fr"})")
        << "[fr] Agenda"
        << "en";
    QTest::newRow("same language")
        << QByteArray(R"({"Text":"Agenda","SourceLanguageCode":"de","TargetLanguageCode":"de"})")
        << "Agenda"
        << "de";
}

void TestSimAws::translateText()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, translated);
    QFETCH(QString, source);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const SimReply reply = translate(http, body);
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.header("Content-Type"), QByteArray("application/x-amz-json-1.1"));
    const QJsonObject answer = reply.object();
    QCOMPARE(answer.value("TranslatedText").toString(), translated);
    QCOMPARE(answer.value("SourceLanguageCode").toString(), source);
    QCOMPARE(answer.value("TargetLanguageCode").toString(),
             QJsonDocument::fromJson(body).object().value("TargetLanguageCode").toString());
}

void TestSimAws::translateErrors_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("authorization");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("type");
    const QByteArray valid = R"({"Text":"Hi","SourceLanguageCode":"en","TargetLanguageCode":"de"})";
    QTest::newRow("unsigned") << valid << translateTarget << QByteArray() << 403
                              << "MissingAuthenticationTokenException";
    QTest::newRow("other operation")
        << valid << QByteArray("AWSShineFrontendService_20170701.ListLanguages") << signature << 400
        << "UnknownOperationException";
    QTest::newRow("not JSON") << QByteArray("Text=Hi") << translateTarget << signature << 400
                              << "SerializationException";
    QTest::newRow("no source language")
        << QByteArray(R"({"Text":"Hi","TargetLanguageCode":"de"})") << translateTarget << signature
        << 400 << "ValidationException";
    QTest::newRow("empty text")
        << QByteArray(R"({"Text":"","SourceLanguageCode":"en","TargetLanguageCode":"de"})")
        << translateTarget << signature << 400 << "ValidationException";
    QTest::newRow("unsupported pair")
        << QByteArray(R"({"Text":"Hi","SourceLanguageCode":"en","TargetLanguageCode":"xx"})")
        << translateTarget << signature << 400 << "UnsupportedLanguagePairException";
    QTest::newRow("text too long")
        << QByteArray(R"({"Text":")" + QByteArray(10001, 'a') +
                      R"(","SourceLanguageCode":"en","TargetLanguageCode":"de"})")
        << translateTarget << signature << 400 << "TextSizeLimitExceededException";
}

void TestSimAws::translateErrors()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, authorization);
    QFETCH(int, status);
    QFETCH(QString, type);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const SimReply reply = translate(http, body, target, authorization);
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.object().value("__type").toString(), type);
    QCOMPARE(reply.header("x-amzn-ErrorType"), type.toUtf8());
    if (type == QLatin1String("UnsupportedLanguagePairException"))
        QCOMPARE(reply.object().value("TargetLanguageCode").toString(), QStringLiteral("xx"));
}

QTEST_GUILESS_MAIN(TestSimAws)
#include "tst_simaws.moc"
