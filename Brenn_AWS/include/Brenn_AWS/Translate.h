#pragma once

#include <Brenn_AWS/Brenn_AWS_Global.h>
#include <Brenn_AWS/QAWSException.h>

#include <QString>

namespace Brenn_AWS {

class Translate_Private;

// Amazon Translate. Credentials come from the standard AWS sources (environment, shared
// credentials file); endpoint and region from AWS_ENDPOINT_URL_TRANSLATE, AWS_ENDPOINT_URL and
// AWS_REGION.
class BRENN_AWS_EXPORT Translate
{
public:
    Translate();
    ~Translate();
    Translate(const Translate &) = delete;
    Translate &operator=(const Translate &) = delete;

    // The source language code is sent only when it is not empty.
    void TranslateText(const QString &sourceLanguage, const QString &text,
                       const QString &targetLanguage, QString &result);
    void TranslateText(const QString &text, const QString &targetLanguage, QString &result);

private:
    Translate_Private *d;
};

} // namespace Brenn_AWS
