#include "ComponentRows.h"

#include "SizeText.h"

#include <QCoreApplication>

#include <algorithm>

using Zelt_Service_API::ZeltAsset;
using Zelt_Service_API::ZeltAssetBundle;
using Zelt_Service_API::ZeltMeetingInfo;

namespace ComponentRows {

namespace {
QString lastSegment(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
} // namespace

QString idText(qint32 id)
{
    if (id > PlaceholderBase)
        return QStringLiteral("URL#%1").arg(id - PlaceholderBase);
    return QString::number(id);
}

QString modeIcon(int mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral(":/Zelt_ServerApp/nextcloud2.png");
    case 1:
        return QStringLiteral(":/Zelt_ServerApp/minio.png");
    case 2:
        return QStringLiteral(":/Zelt_ServerApp/aws.png");
    case UrlMode:
        return QStringLiteral(":/Zelt_ServerApp/link.svg");
    default:
        return {};
    }
}

QString pathText(const QString &relPath, const QString &storageFolder)
{
    const qsizetype slash = relPath.lastIndexOf(QLatin1Char('/'));
    QString folder = slash < 0 ? QString() : relPath.left(slash);
    QString root = storageFolder;
    while (root.startsWith(QLatin1Char('/')))
        root.remove(0, 1);
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    if (root.isEmpty())
        return folder;
    // Only a whole leading folder is dropped: "acme" does not shorten "acme2/...".
    if (folder == root)
        return QString();
    if (folder.startsWith(root + QLatin1Char('/')))
        return folder.mid(root.size() + 1);
    return folder;
}

QList<ZeltAsset> inDisplayOrder(QList<ZeltAsset> assets)
{
    std::stable_sort(assets.begin(), assets.end(), [](const ZeltAsset &a, const ZeltAsset &b) {
        const bool aPlaceholder = a.id() >= PlaceholderBase;
        const bool bPlaceholder = b.id() >= PlaceholderBase;
        if (aPlaceholder != bPlaceholder)
            return aPlaceholder;
        return a.id() < b.id();
    });
    return assets;
}

Row assetRow(const ZeltAsset &asset, const QString &storageFolder)
{
    Row row;
    row.id = asset.id();
    row.idText = idText(asset.id());
    row.name = lastSegment(asset.stgRelPath());
    row.fileName = row.name;
    row.sizeText = asset.mode() == UrlMode ? QCoreApplication::translate("ComponentRows", "ext")
                                           : SizeText::listSize(asset.stgSize());
    row.pathText = pathText(asset.stgRelPath(), storageFolder);
    row.pathIcon = modeIcon(asset.mode());
    return row;
}

Row bundleRow(const ZeltAssetBundle &bundle)
{
    Row row;
    row.id = BundleRowId;
    row.idText = QStringLiteral("AB");
    row.name = bundle.name();
    row.nameIcon = QStringLiteral(":/Zelt_ServerApp/empty_box.svg");
    qint64 bytes = 0;
    for (qint64 size : bundle.stgSize())
        bytes += size;
    row.sizeText = SizeText::listSize(bytes);
    row.pathText = QCoreApplication::translate("ComponentRows", "Asset Bundle");
    row.pathIcon = bundle.mode() == UrlMode ? QString() : modeIcon(bundle.mode());
    row.bundleId = bundle.id();
    return row;
}

QList<Row> rowsOf(const ZeltMeetingInfo &info, const QString &storageFolder)
{
    QList<Row> rows;
    const QList<ZeltAssetBundle> bundles = info.assetBundles();
    if (!bundles.isEmpty())
        rows.append(bundleRow(bundles.first()));
    for (const ZeltAsset &asset : inDisplayOrder(info.assets()))
        rows.append(assetRow(asset, storageFolder));
    return rows;
}

} // namespace ComponentRows
