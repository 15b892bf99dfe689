#include "Banlist.h"

#include "SimState.h"

#include <QRegularExpression>

namespace VorelSim::Banlist {

namespace {
QString unquoted(QString checksum)
{
    return checksum.remove(QLatin1Char('"')).remove(QLatin1Char('\''));
}
} // namespace

bool wildcardMatch(const QString &pattern, const QString &text)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression regex(QRegularExpression::anchoredPattern(expression),
                                   QRegularExpression::CaseInsensitiveOption |
                                       QRegularExpression::DotMatchesEverythingOption);
    return regex.match(text).hasMatch();
}

bool bans(const QJsonObject &entry, const QJsonObject &asset)
{
    const int entryMode = entry.value(QStringLiteral("Mode")).toInt();
    const bool urlAsset = asset.value(QStringLiteral("Mode")).toInt() == urlAssetMode;
    const QString checksum = unquoted(entry.value(QStringLiteral("Checksum")).toString());
    if (entryMode == urlAssetMode)
        return urlAsset && !checksum.isEmpty() &&
               wildcardMatch(checksum, asset.value(QStringLiteral("StgRelPath")).toString());
    if (urlAsset)
        return false;
    const QString assetChecksum = unquoted(asset.value(QStringLiteral("StgChecksum")).toString());
    if (!assetChecksum.isEmpty())
        return assetChecksum.compare(checksum, Qt::CaseInsensitive) == 0;
    const QString fileName = entry.value(QStringLiteral("Filename")).toString();
    return !fileName.isEmpty() &&
           asset.value(QStringLiteral("Name")).toString().compare(fileName, Qt::CaseInsensitive) ==
               0;
}

const QJsonObject *findBan(const QList<QJsonObject> &banlist, const QJsonObject &asset)
{
    for (const QJsonObject &entry : banlist) {
        if (bans(entry, asset))
            return &entry;
    }
    return nullptr;
}

} // namespace VorelSim::Banlist
