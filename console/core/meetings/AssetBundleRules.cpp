#include "AssetBundleRules.h"

#include "S3Paths.h"
#include "SizeText.h"

#include <QFileInfo>

using Zelt_Service_API::ZeltAssetBundle;

namespace AssetBundleRules {

namespace {
const QString iosSuffix = QStringLiteral(".ios.asb");
const QString webSuffix = QStringLiteral(".web.asb");
const QString androidSuffix = QStringLiteral(".android.asb");
} // namespace

QList<std::pair<Platform, QString>> PackFiles::companions() const
{
    return {{Platform::Ios, ios}, {Platform::Web, web}, {Platform::Android, android}};
}

QStringList PackFiles::uploadOrder() const
{
    return {win, ios, android, web};
}

QList<qint64> PackFiles::sizes() const
{
    QList<qint64> sizes;
    for (const QString &file : uploadOrder())
        sizes << QFileInfo(file).size();
    return sizes;
}

PackFiles packFiles(const QString &windowsFile)
{
    const QString base = windowsFile.left(windowsFile.size() - WindowsSuffix.size());
    return {windowsFile, base + iosSuffix, base + webSuffix, base + androidSuffix};
}

std::optional<std::pair<Platform, QString>> firstMissing(const PackFiles &files)
{
    for (const auto &companion : files.companions()) {
        if (!QFileInfo(companion.second).isFile())
            return companion;
    }
    return std::nullopt;
}

QString bundleName(const QString &windowsFile)
{
    return QFileInfo(windowsFile).fileName().section(QLatin1Char('.'), 0, 0);
}

bool isGlobal(const ZeltAssetBundle &bundle)
{
    return bundle.userId().isEmpty();
}

Bundles listingOrder(const Bundles &bundles)
{
    Bundles ordered;
    for (const ZeltAssetBundle &bundle : bundles)
        if (isGlobal(bundle))
            ordered.append(bundle);
    for (const ZeltAssetBundle &bundle : bundles)
        if (!isGlobal(bundle))
            ordered.append(bundle);
    return ordered;
}

bool ownsBundleNamed(const Bundles &bundles, const QString &name, const QString &userId)
{
    return std::any_of(bundles.begin(), bundles.end(), [&](const ZeltAssetBundle &bundle) {
        return bundle.name() == name && bundle.userId() == userId;
    });
}

QString sizeText(const ZeltAssetBundle &bundle)
{
    qint64 bytes = 0;
    for (qint64 size : bundle.stgSize())
        bytes += size;
    return SizeText::listSize(bytes);
}

QString storagePath(const QString &pathPrefix, const QString &name)
{
    // Normalised like the upload's keys, so that the record names the stored files.
    return S3Paths::normalizedKey(pathPrefix + QLatin1Char('/') + StorageFolder + QLatin1Char('/') +
                                  name);
}

QStringList storedKeys(const QString &storagePath)
{
    return packFiles(storagePath + WindowsSuffix).uploadOrder();
}

} // namespace AssetBundleRules
