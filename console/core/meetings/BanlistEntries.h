#pragma once

#include "service/ZeltBanlistEntry.h"

#include <QList>
#include <QMap>

#include <optional>

class QObject;

// Banlist entries as the banlist dialog lists and makes them.
namespace BanlistEntries {

// "#Id - Filename (Checksum)".
QString itemText(const Zelt_Service_API::ZeltBanlistEntry &entry);
// By "Id"; a later entry with the same id replaces an earlier one.
QMap<qint32, Zelt_Service_API::ZeltBanlistEntry>
byId(const QList<Zelt_Service_API::ZeltBanlistEntry> &entries);
// A banned URL pattern: "Mode" 3, the name in "Filename" and the pattern, unchanged, in
// "Checksum"; matching "*" is the service's business.
Zelt_Service_API::ZeltBanlistEntry customEntry(const QString &name, const QString &urlPattern);
// Asks for a name and a URL pattern, refusing an empty or cancelled answer with a message;
// nothing when refused.
std::optional<Zelt_Service_API::ZeltBanlistEntry> askCustomEntry(QObject *asker);

} // namespace BanlistEntries
