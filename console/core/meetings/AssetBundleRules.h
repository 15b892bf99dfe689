#pragma once

#include "service/ZeltAssetBundle.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What an asset bundle is made of and how the bundles panel lists and names them. A bundle is
// one name for four pack files, one per client platform, stored side by side as
// <StgRelPath>.<platform>.asb below the user's "__ASSETBUNDLES" folder.
namespace AssetBundleRules {

using Bundles = QList<Zelt_Service_API::ZeltAssetBundle>;

// The storage folder, below the browser's path prefix, that holds every bundle's files.
inline const QString StorageFolder = QStringLiteral("__ASSETBUNDLES");
inline const QString WindowsSuffix = QStringLiteral(".win.asb");

enum class Platform
{
    Windows,
    Ios,
    Web,
    Android
};

struct PackFiles
{
    QString win;
    QString ios;
    QString web;
    QString android;

    // The companions of the Windows file, in the order they are checked.
    QList<std::pair<Platform, QString>> companions() const;
    // The order in which they are uploaded.
    QStringList uploadOrder() const;
    // Their sizes in bytes, in upload order: the bundle's "StgSize", sent along as an asset's
    // size is, so that the lists show the bundle's real size.
    QList<qint64> sizes() const;
};

// The four files beside a chosen Windows pack file: its path without ".win.asb" and the
// platform's suffix.
PackFiles packFiles(const QString &windowsFile);
// The first companion that does not exist.
std::optional<std::pair<Platform, QString>> firstMissing(const PackFiles &files);
// The file name up to its first ".": "a.b.win.asb" names bundle "a".
QString bundleName(const QString &windowsFile);

// Global bundles (no owner) first, then the others, each group in the order given.
Bundles listingOrder(const Bundles &bundles);
bool isGlobal(const Zelt_Service_API::ZeltAssetBundle &bundle);
// The user already owns a bundle of that name (other users' bundles may share it).
bool ownsBundleNamed(const Bundles &bundles, const QString &name, const QString &userId);
// The sum of the bundle's stored file sizes, as the lists show sizes.
QString sizeText(const Zelt_Service_API::ZeltAssetBundle &bundle);

// Where the bundle's files go: the path prefix, "__ASSETBUNDLES/" and the name, without a
// leading "/" (the whole bucket's prefix is "/").
QString storagePath(const QString &pathPrefix, const QString &name);
// The keys of the four stored files of a bundle at that path.
QStringList storedKeys(const QString &storagePath);

} // namespace AssetBundleRules
