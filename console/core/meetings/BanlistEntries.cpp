#include "BanlistEntries.h"

#include "Prompt.h"

#include <QCoreApplication>

using Zelt_Service_API::ZeltBanlistEntry;

namespace BanlistEntries {

namespace {
constexpr qint32 urlPatternMode = 3;

QString tr(const char *text)
{
    return QCoreApplication::translate("BanlistEntries", text);
}
} // namespace

QString itemText(const ZeltBanlistEntry &entry)
{
    return QStringLiteral("#%1 - %2 (%3)")
        .arg(QString::number(entry.id()), entry.filename(), entry.checksum());
}

QMap<qint32, ZeltBanlistEntry> byId(const QList<ZeltBanlistEntry> &entries)
{
    QMap<qint32, ZeltBanlistEntry> map;
    for (const ZeltBanlistEntry &entry : entries)
        map.insert(entry.id(), entry);
    return map;
}

ZeltBanlistEntry customEntry(const QString &name, const QString &urlPattern)
{
    ZeltBanlistEntry entry;
    entry.setFilename(name);
    entry.setChecksum(urlPattern);
    entry.setMode(urlPatternMode);
    return entry;
}

std::optional<ZeltBanlistEntry> askCustomEntry(QObject *asker)
{
    Prompt &prompt = Prompt::current();
    const auto name = prompt.text(asker, tr("Name"), tr("Enter a name for the new entry:"),
                                  Prompt::Echo::Normal, QString());
    if (!name || name->isEmpty()) {
        Prompt::information(asker, tr("Empty name not allowed."),
                            tr("Cannot add entry without a name."));
        return std::nullopt;
    }
    const auto pattern = prompt.text(asker, tr("URL"), tr("Enter a URL to ban (* can be used):"),
                                     Prompt::Echo::Normal, QString());
    if (!pattern || pattern->isEmpty()) {
        Prompt::information(asker, tr("Empty entry not allowed."), tr("Cannot add empty entry."));
        return std::nullopt;
    }
    return customEntry(*name, *pattern);
}

} // namespace BanlistEntries
