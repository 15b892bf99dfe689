#include <Brenn_AWS/Translate.h>

#include "Translate_Private.h"

namespace Brenn_AWS {

Translate::Translate() : d(new Translate_Private()) {}

Translate::~Translate()
{
    delete d;
}

void Translate::TranslateText(const QString &sourceLanguage, const QString &text,
                              const QString &targetLanguage, QString &result)
{
    d->TranslateText(sourceLanguage, text, targetLanguage, result);
}

void Translate::TranslateText(const QString &text, const QString &targetLanguage, QString &result)
{
    d->TranslateText(text, targetLanguage, result);
}

} // namespace Brenn_AWS
