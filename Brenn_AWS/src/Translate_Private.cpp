#include "Translate_Private.h"

#include "FacadeSupport.h"

#include "aws/CredentialSources.h"

namespace Brenn_AWS {

Translate_Private::Translate_Private()
{
    Init();
}

Translate_Private::~Translate_Private() = default;

void Translate_Private::Init()
{
    const std::optional<aws::Credentials> credentials = aws::defaultCredentials();
    credentialsFound = credentials.has_value();
    if (!client) {
        aws::TransportOptions options; // the usual SDK time-outs
        options.connectTimeoutMs = 1000;
        options.requestTimeoutMs = 3000;
        client = std::make_unique<aws::TranslateClient>(
            aws::Endpoint::fromEnvironment(QStringLiteral("translate")),
            credentials.value_or(aws::Credentials{}), options);
    }
    initialized = true;
}

void Translate_Private::TranslateText(const QString &sourceLanguage, const QString &text,
                                      const QString &targetLanguage, QString &result)
{
    if (!credentialsFound) {
        throw QAWSException(aws::ErrorType::MissingAuthenticationToken,
                            QStringLiteral("MissingAuthenticationToken"),
                            QStringLiteral("No AWS credentials found: set AWS_ACCESS_KEY_ID and "
                                           "AWS_SECRET_ACCESS_KEY, or a profile in the shared "
                                           "credentials file."));
    }
    result = valueOrThrow(client->translateText(text, sourceLanguage, targetLanguage));
}

void Translate_Private::TranslateText(const QString &text, const QString &targetLanguage,
                                      QString &result)
{
    TranslateText(QString(), text, targetLanguage, result);
}

} // namespace Brenn_AWS
