#include "ComponentAssets.h"

#include "ComponentRows.h"

#include <QFileInfo>

using Zelt_Service_API::ZeltAsset;
using Zelt_Service_API::ZeltBanlistEntry;
using Zelt_Service_API::ZeltDefVector3;
using Zelt_Service_API::ZeltMeetingInfo;

namespace ComponentAssets {

namespace {
ZeltDefVector3 vector(float value)
{
    ZeltDefVector3 v;
    v.setX(value);
    v.setY(value);
    v.setZ(value);
    return v;
}

// Unit scale, at the origin, not rotated.
void placeAtOrigin(ZeltAsset &asset)
{
    asset.setScale(vector(1));
    asset.setPosition(vector(0));
    asset.setRotation(vector(0));
}
} // namespace

QSet<qint32> placeholderIdsInUse(const ZeltMeetingInfo &info)
{
    QSet<qint32> used;
    for (const ZeltAsset &asset : info.assets()) {
        if (asset.id() > ComponentRows::PlaceholderBase)
            used.insert(asset.id());
    }
    return used;
}

int smallestFreeSlot(const QSet<qint32> &usedIds)
{
    int slot = 1;
    while (usedIds.contains(ComponentRows::PlaceholderBase + slot))
        ++slot;
    return slot;
}

int proposedCustomUrlSlot(const QSet<qint32> &usedIds)
{
    const int slot = smallestFreeSlot(usedIds);
    return slot <= CustomUrlSlots ? slot : 1;
}

bool isModelFile(const QString &path)
{
    return path.endsWith(QLatin1String(".fbx"), Qt::CaseInsensitive);
}

bool isPlaceholderId(qint32 id)
{
    return id > ComponentRows::PlaceholderBase && id <= ComponentRows::PlaceholderBase + LastSlot;
}

ZeltAsset fromBrowserItem(const QJsonObject &item, const StorageOrigin &origin)
{
    const QString itemPath = item.value(QStringLiteral("path")).toString();
    const QString path = item.value(QStringLiteral("url")).toString() + itemPath;
    ZeltAsset asset;
    asset.setMode(origin.mode);
    asset.setId(0);
    asset.setName(QFileInfo(path).fileName());
    if (origin.mode == 0) {
        asset.setStgRelPath(path);
    } else {
        asset.setStgRelPath(itemPath);
        asset.setStgHost(origin.host);
        asset.setStgBucket(origin.bucket);
    }
    placeAtOrigin(asset);
    // Browsers keep sizes as decimal text.
    asset.setStgSize(item.value(QStringLiteral("size")).toVariant().toLongLong());
    asset.setStgCredentials(origin.credentials);
    return asset;
}

ZeltAsset fromCustomUrl(const QString &url, qint32 id)
{
    ZeltAsset asset;
    asset.setMode(ComponentRows::UrlMode);
    asset.setId(id);
    asset.setName(url.mid(url.lastIndexOf(QLatin1Char('/')) + 1));
    asset.setStgRelPath(url);
    placeAtOrigin(asset);
    asset.setStgSize(0);
    return asset;
}

std::optional<ZeltBanlistEntry> banlistEntry(const QJsonObject &item)
{
    if (!item.contains(QStringLiteral("etag")) || !item.contains(QStringLiteral("name")))
        return std::nullopt;
    QString checksum = item.value(QStringLiteral("etag")).toString();
    checksum.remove(QLatin1Char('"')).remove(QLatin1Char('\''));
    ZeltBanlistEntry entry;
    entry.setChecksum(checksum);
    entry.setFilename(item.value(QStringLiteral("name")).toString());
    entry.setMode(0);
    return entry;
}

} // namespace ComponentAssets
