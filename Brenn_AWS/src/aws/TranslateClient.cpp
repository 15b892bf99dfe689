#include "TranslateClient.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace Brenn_AWS::aws {

TranslateClient::TranslateClient(const Endpoint &endpoint, const Credentials &credentials,
                                 const TransportOptions &options)
    : ServiceClient(endpoint, credentials, QStringLiteral("translate"), options, true)
{
}

Outcome<QString> TranslateClient::translateText(const QString &text, const QString &sourceLanguage,
                                                const QString &targetLanguage)
{
    QJsonObject input{{QStringLiteral("Text"), text},
                      {QStringLiteral("TargetLanguageCode"), targetLanguage}};
    if (!sourceLanguage.isEmpty())
        input.insert(QStringLiteral("SourceLanguageCode"), sourceLanguage);

    HttpRequest request = newRequest("POST", "/");
    request.setHeader("Content-Type", "application/x-amz-json-1.1");
    request.setHeader("X-Amz-Target", "AWSShineFrontendService_20170701.TranslateText");
    const QByteArray body = QJsonDocument(input).toJson(QJsonDocument::Compact);
    const HttpResponse response = send(request, sha256Hex(body), body);
    if (!response.completed())
        return transportError(response.curlCode, response.curlText);
    if (!response.isSuccess())
        return jsonError(response.status, response.header("x-amzn-errortype"), response.body);

    return parseTranslateTextReply(response.body, response.status);
}

Outcome<QString> parseTranslateTextReply(const QByteArray &body, int httpStatus)
{
    const QJsonValue translated =
        QJsonDocument::fromJson(body).object().value(QStringLiteral("TranslatedText"));
    if (!translated.isString()) {
        return AwsError{ErrorType::Unknown, QStringLiteral("Json Parse Error"),
                        QStringLiteral("The reply holds no TranslatedText"), httpStatus};
    }
    return translated.toString();
}

} // namespace Brenn_AWS::aws
