#pragma once

#include "service/ZeltAsset.h"
#include "service/ZeltAssetBundle.h"
#include "service/ZeltMeetingInfo.h"

#include <QList>
#include <QString>

// What the components table shows for a meeting: one row for its asset bundle, then the URL
// placeholders and files in a fixed order, each with its id, name, size and path texts.
namespace ComponentRows {

// Placeholder slot n is stored as asset id PlaceholderBase + n.
constexpr qint32 PlaceholderBase = 22000;
// The bundle row carries this instead of an asset id.
constexpr qint32 BundleRowId = -1;
constexpr int UrlMode = 3;

struct Row
{
    qint32 id = BundleRowId;
    QString idText;
    QString name;
    // The file name whose ending chooses the name's icon; empty for the bundle row.
    QString fileName;
    QString nameIcon;
    QString sizeText;
    QString pathText;
    QString pathIcon;
    QString bundleId;

    bool isBundle() const { return id == BundleRowId; }
};

// "URL#n" for placeholder ids above the base, the plain number otherwise.
QString idText(qint32 id);
// The storage kind's icon in the Path column; empty for an unknown kind.
QString modeIcon(int mode);
// The folder part of a stored path, below the session's storage folder.
QString pathText(const QString &relPath, const QString &storageFolder);
// Placeholder ids (from the base upward) first, then the others, each ascending.
QList<Zelt_Service_API::ZeltAsset> inDisplayOrder(QList<Zelt_Service_API::ZeltAsset> assets);

Row assetRow(const Zelt_Service_API::ZeltAsset &asset, const QString &storageFolder);
Row bundleRow(const Zelt_Service_API::ZeltAssetBundle &bundle);
// The rows of a meeting in table order; only the first bundle is shown.
QList<Row> rowsOf(const Zelt_Service_API::ZeltMeetingInfo &info, const QString &storageFolder);

} // namespace ComponentRows
