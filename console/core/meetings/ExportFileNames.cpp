#include "ExportFileNames.h"

#include "ComponentsFile.h"

#include <QRegularExpression>

namespace {

// Room for the extension and a counter within the 255 bytes most file systems allow.
constexpr qsizetype maximumStemBytes = 200;

bool refused(char32_t c)
{
    if (c < 0x20 || c == 0x7f || QChar::isSurrogate(c))
        return true;
    return c < 0x80 && QLatin1String("<>:\"/\\|?*").contains(QLatin1Char(char(c)));
}

// Windows keeps these device names whatever extension follows.
bool isDeviceName(const QString &stem)
{
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *$"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(stem.section(QLatin1Char('.'), 0, 0)).hasMatch();
}

QString truncated(const QString &stem)
{
    QString result;
    qsizetype bytes = 0;
    for (const char32_t c : stem.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        bytes += character.toUtf8().size();
        if (bytes > maximumStemBytes)
            break;
        result += character;
    }
    return result;
}

} // namespace

QString ExportFileNames::safeName(const QString &meetingId, const QString &creator)
{
    QString stem;
    for (const char32_t c : (meetingId + QLatin1Char('_') + creator).toUcs4())
        stem += refused(c) ? QStringLiteral("_") : QString::fromUcs4(&c, 1);
    stem.replace(QLatin1String(".."), QLatin1String("_"));
    if (isDeviceName(stem))
        stem.prepend(QLatin1Char('_'));
    return truncated(stem) + ComponentsFile::extension();
}

QString ExportFileNames::next(const QString &meetingId, const QString &creator)
{
    const QString name = safeName(meetingId, creator);
    QString candidate = name;
    const QString stem = name.chopped(ComponentsFile::extension().size());
    for (int count = 2; taken.contains(candidate.toLower()); ++count)
        candidate = stem + QLatin1Char('_') + QString::number(count) + ComponentsFile::extension();
    taken.insert(candidate.toLower());
    return candidate;
}
