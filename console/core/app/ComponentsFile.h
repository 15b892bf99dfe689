#pragma once

#include "ComponentRows.h"
#include "service/ZeltMeetingInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

// Which kinds of a meeting's components go into a components file.
struct ComponentChoices
{
    bool assets = true;
    bool urls = true;
    bool assetBundles = true;
    bool spawnPoints = true;
};

// What a components file asks of the meeting it is imported into.
struct ImportedComponents
{
    // Ready to send with assetAdd: files (Id 0) first, then placeholders (their slot ids).
    QList<Zelt_Service_API::ZeltAsset> assets;
    // Present when the file carries bundles: they replace the meeting's.
    std::optional<QList<Zelt_Service_API::ZeltAssetBundle>> assetBundles;
    // Present when the file carries spawn points: they are merged into the meeting's.
    std::optional<QList<Zelt_Service_API::ZeltSpawnPoint>> spawnPoints;

    bool changesMeetingInfo() const { return assetBundles || spawnPoints; }
    // The meeting info with the imported bundles and spawn points in place.
    Zelt_Service_API::ZeltMeetingInfo appliedTo(Zelt_Service_API::ZeltMeetingInfo info) const;
};

// The meeting components file: one JSON object with "assets", "urls", "assetbundles" and
// "spawnpoints", saved under the extension ".vrl".
namespace ComponentsFile {

// The highest id a file's URL placeholder may carry.
constexpr qint32 placeholderLast = ComponentRows::PlaceholderBase + 1000;
// Larger files are refused unread: no export of a real meeting comes near this.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

QString extension();
// The filter of the file dialogs, translated.
QString fileFilter();
// The name with ".vrl" appended unless it ends in exactly ".vrl".
QString withExtension(const QString &fileName);

// The file's content for the chosen kinds. Only the kept members of each element are written:
// never storage hosts, buckets, sizes, presigned paths, checksums or credentials.
QByteArray write(const Zelt_Service_API::ZeltMeetingInfo &info, const ComponentChoices &choices);

// The components a file's content asks for; nothing when it is not a JSON object. Elements
// that are not objects, have members of the wrong type or ids out of range are skipped.
std::optional<ImportedComponents> read(const QByteArray &content);

// The meeting's spawn points with the imported ones replacing those of the same "Id", in
// ascending "Id" order.
QList<Zelt_Service_API::ZeltSpawnPoint>
mergeSpawnPoints(const QList<Zelt_Service_API::ZeltSpawnPoint> &current,
                 const QList<Zelt_Service_API::ZeltSpawnPoint> &imported);

// Replaces the file with content, or leaves it as it was; false (and why, into error) when it
// could not be written.
bool save(const QString &fileName, const QByteArray &content, QString *error = nullptr);

enum class LoadFailure
{
    CannotOpen,
    CannotParse
};
std::variant<ImportedComponents, LoadFailure> load(const QString &fileName);

} // namespace ComponentsFile
