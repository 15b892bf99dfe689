#pragma once

#include "aws/CurlRuntime.h"
#include "aws/TranslateClient.h"

#include <memory>

namespace Brenn_AWS {

// The work behind Translate: one client with the credentials of the standard AWS sources.
class Translate_Private
{
public:
    Translate_Private();
    ~Translate_Private();

    void TranslateText(const QString &sourceLanguage, const QString &text,
                       const QString &targetLanguage, QString &result);
    void TranslateText(const QString &text, const QString &targetLanguage, QString &result);

private:
    void Init();

    bool initialized = false;
    aws::CurlRuntime curlRuntime;
    std::unique_ptr<aws::TranslateClient> client;
    bool credentialsFound = false;
};

} // namespace Brenn_AWS
