#pragma once

#include "service/ZeltAsset.h"
#include "service/ZeltBanlistEntry.h"
#include "service/ZeltDefCredentials.h"
#include "service/ZeltMeetingInfo.h"

#include <QJsonObject>
#include <QSet>
#include <QString>

#include <optional>

// How new components are made: assets from a storage browser's file or from a custom URL, the
// placeholder slot they take, and banlist entries from stored files.
namespace ComponentAssets {

// Where a browser's files are stored and how the service reaches them.
struct StorageOrigin
{
    int mode = -1;
    QString host;
    QString bucket;
    Zelt_Service_API::ZeltDefCredentials credentials;
};

constexpr int LastSlot = 999;
// Custom URLs are offered one of the first slots.
constexpr int CustomUrlSlots = 20;

// The placeholder ids (above the base) the meeting uses.
QSet<qint32> placeholderIdsInUse(const Zelt_Service_API::ZeltMeetingInfo &info);
// The smallest slot n from 1 whose id is not in use; unbounded, the dialog limits it.
int smallestFreeSlot(const QSet<qint32> &usedIds);
// The smallest free slot from 1 to CustomUrlSlots, or 1 when all of them are taken.
int proposedCustomUrlSlot(const QSet<qint32> &usedIds);
// 3D models take no placeholder slot.
bool isModelFile(const QString &path);
// Whether an id names a placeholder slot from 1 to 999.
bool isPlaceholderId(qint32 id);

// A browser item ({"url", "path", "name", "size"}) as an asset with id 0.
Zelt_Service_API::ZeltAsset fromBrowserItem(const QJsonObject &item, const StorageOrigin &origin);
// A URL placeholder; the URL's white space is taken as given.
Zelt_Service_API::ZeltAsset fromCustomUrl(const QString &url, qint32 id);
// A file entry of a stored object, by its ETag; none without ETag or name.
std::optional<Zelt_Service_API::ZeltBanlistEntry> banlistEntry(const QJsonObject &item);

} // namespace ComponentAssets
