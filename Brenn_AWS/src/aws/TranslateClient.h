#pragma once

#include "Outcome.h"
#include "ServiceClient.h"

namespace Brenn_AWS::aws {

// Amazon Translate over the JSON 1.1 protocol.
class TranslateClient : public ServiceClient
{
public:
    TranslateClient(const Endpoint &endpoint, const Credentials &credentials,
                    const TransportOptions &options = {});

    // The translated text. The source language code is sent only when it is not empty.
    Outcome<QString> translateText(const QString &text, const QString &sourceLanguage,
                                   const QString &targetLanguage);
};

// The translated text of a successful TranslateText reply.
Outcome<QString> parseTranslateTextReply(const QByteArray &body, int httpStatus);

} // namespace Brenn_AWS::aws
