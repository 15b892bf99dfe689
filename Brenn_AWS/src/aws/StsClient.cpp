#include "StsClient.h"

#include "Xml.h"

#include <QRegularExpression>

namespace Brenn_AWS::aws {

StsClient::StsClient(const Endpoint &endpoint, const Credentials &credentials,
                     const TransportOptions &options)
    : ServiceClient(endpoint, credentials, QStringLiteral("sts"), options, true)
{
}

Outcome<AssumedRole> StsClient::assumeRole(const QString &roleArn, const QString &roleSessionName,
                                           const QString &policy)
{
    HttpRequest form;
    form.query = {{"Action", "AssumeRole"},
                  {"Version", "2011-06-15"},
                  {"RoleArn", roleArn.toUtf8()},
                  {"RoleSessionName", roleSessionName.toUtf8()}};
    if (!policy.isEmpty())
        form.addQuery("Policy", policy.toUtf8());

    HttpRequest request = newRequest("POST", "/");
    request.setHeader("Content-Type", "application/x-www-form-urlencoded; charset=utf-8");
    const QByteArray body = form.encodedQuery();
    const HttpResponse response = send(request, sha256Hex(body), body);
    if (!response.isSuccess())
        return xmlFailure(response);
    return parseAssumeRoleResponse(response.body);
}

Outcome<AssumedRole> parseAssumeRoleResponse(const QByteArray &body)
{
    const std::optional<XmlElement> root = parseXml(body.trimmed());
    const XmlElement *result = root ? root->child(QStringLiteral("AssumeRoleResult")) : nullptr;
    const XmlElement *credentials = result ? result->child(QStringLiteral("Credentials")) : nullptr;
    if (!credentials) {
        return AwsError{ErrorType::Unknown, QStringLiteral("Xml Parse Error"),
                        QStringLiteral("The reply holds no AssumeRoleResult credentials"), 200};
    }
    const XmlElement *user = result->child(QStringLiteral("AssumedRoleUser"));
    const auto text = [](const XmlElement *element, const char *name) {
        return element ? element->childText(QLatin1String(name)).trimmed() : QString();
    };
    // Credentials without their key pair would only fail later, on the first signed request.
    if (text(credentials, "AccessKeyId").isEmpty() ||
        text(credentials, "SecretAccessKey").isEmpty()) {
        return AwsError{ErrorType::Unknown, QStringLiteral("Xml Parse Error"),
                        QStringLiteral("The reply's credentials hold no key pair"), 200};
    }
    return AssumedRole{
        text(credentials, "AccessKeyId"),
        text(credentials, "SecretAccessKey"),
        text(credentials, "SessionToken").remove(QRegularExpression(QStringLiteral("\\s"))),
        text(credentials, "Expiration"),
        text(user, "AssumedRoleId"),
        text(user, "Arn")};
}

} // namespace Brenn_AWS::aws
