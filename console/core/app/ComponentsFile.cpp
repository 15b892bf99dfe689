#include "ComponentsFile.h"

#include "common/ZeltJsonConversions.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Zelt_Service_API;

namespace {

const QString assetsKey = QStringLiteral("assets");
const QString urlsKey = QStringLiteral("urls");
const QString bundlesKey = QStringLiteral("assetbundles");
const QString spawnPointsKey = QStringLiteral("spawnpoints");

const QStringList keptForAssets = {"Id",       "Mode",  "Name",      "Position",
                                   "Rotation", "Scale", "StgRelPath"};
const QStringList keptForUrls = {"Id", "Mode", "Name", "StgRelPath"};
const QStringList keptForBundles = {"Id", "Mode", "Name"};

QJsonObject keptMembers(const QJsonObject &object, const QStringList &kept)
{
    QJsonObject result;
    for (auto member = object.begin(); member != object.end(); ++member)
        if (kept.contains(member.key(), Qt::CaseInsensitive))
            result.insert(member.key(), member.value());
    return result;
}

// A link may carry "user:password@" in front of its host; that stays out of the file.
QString withoutUserInfo(const QString &path)
{
    const qsizetype schemeEnd = path.indexOf(QLatin1String("://"));
    if (schemeEnd < 0)
        return path;
    const qsizetype hostStart = schemeEnd + 3;
    qsizetype authorityEnd = hostStart;
    while (authorityEnd < path.size() && !QStringLiteral("/?#").contains(path.at(authorityEnd)))
        ++authorityEnd;
    const qsizetype at = path.lastIndexOf(QLatin1Char('@'), authorityEnd - 1);
    if (at < hostStart)
        return path;
    return path.left(hostStart) + path.mid(at + 1);
}

QJsonObject fileElement(const ZeltAsset &asset, const QStringList &kept)
{
    QJsonObject element = keptMembers(asset.asJsonObject(), kept);
    for (auto member = element.begin(); member != element.end(); ++member)
        if (member.key().compare(QLatin1String("StgRelPath"), Qt::CaseInsensitive) == 0)
            member.value() = withoutUserInfo(member.value().toString());
    return element;
}

// --- Reading: the members an element may carry, and what each must be ---

enum class Kind
{
    Integer,
    Number,
    Axis,
    String,
    Vector,
    Credentials,
    NumberArray,
    StringArray
};
using Members = QList<QPair<const char *, Kind>>;

// clang-format off
const Members assetMembers = {
    {"Id", Kind::Integer}, {"MeetingId", Kind::String}, {"Name", Kind::String},
    {"Mode", Kind::Integer}, {"StgHost", Kind::String}, {"StgBucket", Kind::String},
    {"StgRelPath", Kind::String}, {"StgSize", Kind::Number}, {"StgPreSgnPath", Kind::String},
    {"StgChecksum", Kind::String}, {"StgCredentials", Kind::Credentials},
    {"Position", Kind::Vector}, {"Rotation", Kind::Vector}, {"Scale", Kind::Vector}};
const Members bundleMembers = {
    {"Id", Kind::String}, {"UserId", Kind::String}, {"UserName", Kind::String},
    {"Name", Kind::String}, {"Mode", Kind::Integer}, {"StgRelPath", Kind::String},
    {"StgSize", Kind::NumberArray}, {"StgPreSgnPath", Kind::StringArray},
    {"StgChecksums", Kind::StringArray}};
const Members spawnPointMembers = {
    {"Id", Kind::Integer}, {"PlayerId", Kind::Integer}, {"MeetingId", Kind::String},
    {"Name", Kind::String}, {"Position", Kind::Vector}, {"Rotation", Kind::Vector}};
const Members vectorMembers = {{"x", Kind::Axis}, {"y", Kind::Axis}, {"z", Kind::Axis}};
const Members credentialMembers = {{"User", Kind::String}, {"Pass", Kind::String}};
// clang-format on

bool fitsMembers(const QJsonObject &object, const Members &members);

bool allElements(const QJsonValue &value, Kind kind);

bool fits(const QJsonValue &value, Kind kind)
{
    switch (kind) {
    case Kind::Integer: {
        // A whole number the model can hold; anything else would arrive as 0.
        const double number = value.toDouble(0.5);
        return value.isDouble() && std::floor(number) == number &&
               number >= std::numeric_limits<qint32>::min() &&
               number <= std::numeric_limits<qint32>::max();
    }
    case Kind::Number:
        return value.isDouble();
    case Kind::Axis: {
        // Whatever the model's float conversion takes; a number beyond float's range it refuses.
        float axis = 0;
        return Zelt_Common_API::fromJsonValue(axis, value);
    }
    case Kind::String:
        return value.isString();
    case Kind::Vector:
        return value.isObject() && fitsMembers(value.toObject(), vectorMembers);
    case Kind::Credentials:
        return value.isObject() && fitsMembers(value.toObject(), credentialMembers);
    case Kind::NumberArray:
        return allElements(value, Kind::Number);
    case Kind::StringArray:
        return allElements(value, Kind::String);
    }
    return false;
}

bool allElements(const QJsonValue &value, Kind kind)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    return std::all_of(array.begin(), array.end(),
                       [kind](const QJsonValue &element) { return fits(element, kind); });
}

// Absent and null members are fine: the models leave them unset.
bool fitsMembers(const QJsonObject &object, const Members &members)
{
    return std::all_of(members.begin(), members.end(), [&object](const auto &member) {
        const QJsonValue value = object.value(QLatin1String(member.first));
        return value.isUndefined() || value.isNull() || fits(value, member.second);
    });
}

// The elements of an array that are objects with members of the right types.
QList<QJsonObject> wellFormed(const QJsonArray &array, const Members &members)
{
    QList<QJsonObject> result;
    for (const QJsonValue &element : array)
        if (element.isObject() && fitsMembers(element.toObject(), members))
            result.append(element.toObject());
    return result;
}

ZeltDefVector3 vector(float x, float y, float z)
{
    ZeltDefVector3 result;
    result.setX(x);
    result.setY(y);
    result.setZ(z);
    return result;
}

void readFiles(const QJsonArray &array, ImportedComponents &components)
{
    for (const QJsonObject &element : wellFormed(array, assetMembers)) {
        ZeltAsset asset;
        asset.fromJsonObject(element);
        // Ids from the placeholder range on belong to "urls".
        if (asset.id() >= ComponentRows::PlaceholderBase)
            continue;
        asset.setId(0);
        asset.setStgSize(0);
        components.assets.append(asset);
    }
}

void readPlaceholders(const QJsonArray &array, ImportedComponents &components)
{
    for (const QJsonObject &element : wellFormed(array, assetMembers)) {
        ZeltAsset asset;
        asset.fromJsonObject(element);
        if (asset.id() < ComponentRows::PlaceholderBase ||
            asset.id() > ComponentsFile::placeholderLast)
            continue;
        asset.setScale(vector(1, 1, 1));
        asset.setPosition(vector(0, 0, 0));
        asset.setRotation(vector(0, 0, 0));
        asset.setStgSize(0);
        components.assets.append(asset);
    }
}

void readBundles(const QJsonArray &array, ImportedComponents &components)
{
    QList<ZeltAssetBundle> bundles;
    for (const QJsonObject &element : wellFormed(array, bundleMembers)) {
        ZeltAssetBundle bundle;
        bundle.fromJsonObject(element);
        // The service knows a bundle by its id only.
        if (!bundle.id().isEmpty())
            bundles.append(bundle);
    }
    components.assetBundles = bundles;
}

void readSpawnPoints(const QJsonArray &array, ImportedComponents &components)
{
    QList<ZeltSpawnPoint> points = components.spawnPoints.value_or(QList<ZeltSpawnPoint>());
    for (const QJsonObject &element : wellFormed(array, spawnPointMembers)) {
        // Without an id a point cannot be merged.
        if (!element.value(QLatin1String("Id")).isDouble())
            continue;
        ZeltSpawnPoint point;
        point.fromJsonObject(element);
        points.append(point);
    }
    components.spawnPoints = points;
}

} // namespace

ZeltMeetingInfo ImportedComponents::appliedTo(ZeltMeetingInfo info) const
{
    if (assetBundles)
        info.setAssetBundles(*assetBundles);
    if (spawnPoints)
        info.setSpawnPoints(ComponentsFile::mergeSpawnPoints(info.spawnPoints(), *spawnPoints));
    return info;
}

namespace ComponentsFile {

QString extension()
{
    return QStringLiteral(".vrl");
}

QString fileFilter()
{
    return QCoreApplication::translate("ComponentsFile", "Vorel Export File (*.vrl)");
}

QString withExtension(const QString &fileName)
{
    return fileName.endsWith(extension()) ? fileName : fileName + extension();
}

QByteArray write(const ZeltMeetingInfo &info, const ComponentChoices &choices)
{
    QJsonObject top;
    if (choices.assets || choices.urls) {
        QJsonArray files;
        QJsonArray placeholders;
        for (const ZeltAsset &asset : info.assets()) {
            // From the base on, as the reader takes them: an id of exactly the base written
            // under "assets" would be skipped when the file is imported again.
            if (asset.id() >= ComponentRows::PlaceholderBase && choices.urls)
                placeholders.append(fileElement(asset, keptForUrls));
            else if (choices.assets)
                files.append(fileElement(asset, keptForAssets));
        }
        if (choices.assets)
            top.insert(assetsKey, files);
        if (choices.urls)
            top.insert(urlsKey, placeholders);
    }
    if (choices.assetBundles) {
        QJsonArray bundles;
        for (const ZeltAssetBundle &bundle : info.assetBundles())
            bundles.append(keptMembers(bundle.asJsonObject(), keptForBundles));
        top.insert(bundlesKey, bundles);
    }
    if (choices.spawnPoints) {
        QJsonArray points;
        for (const ZeltSpawnPoint &point : info.spawnPoints())
            points.append(point.asJsonObject());
        top.insert(spawnPointsKey, points);
    }
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

std::optional<ImportedComponents> read(const QByteArray &content)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    ImportedComponents components;
    const QJsonObject top = document.object();
    // In key order, names compared without regard to case; only arrays count.
    for (auto member = top.begin(); member != top.end(); ++member) {
        if (!member.value().isArray())
            continue;
        const QString name = member.key().toLower();
        const QJsonArray array = member.value().toArray();
        if (name == assetsKey)
            readFiles(array, components);
        else if (name == urlsKey)
            readPlaceholders(array, components);
        else if (name == bundlesKey)
            readBundles(array, components);
        else if (name == spawnPointsKey)
            readSpawnPoints(array, components);
    }
    return components;
}

QList<ZeltSpawnPoint> mergeSpawnPoints(const QList<ZeltSpawnPoint> &current,
                                       const QList<ZeltSpawnPoint> &imported)
{
    QMap<qint32, ZeltSpawnPoint> byId;
    for (const ZeltSpawnPoint &point : current)
        byId.insert(point.id(), point);
    for (const ZeltSpawnPoint &point : imported)
        byId.insert(point.id(), point);
    return byId.values();
}

bool save(const QString &fileName, const QByteArray &content, QString *error)
{
    // Written beside the target and renamed over it, so a failed write leaves no half file.
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

std::variant<ImportedComponents, LoadFailure> load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return LoadFailure::CannotOpen;
    const QByteArray content = file.read(maximumFileSize + 1);
    if (content.size() > maximumFileSize)
        return LoadFailure::CannotParse;
    auto components = read(content);
    if (!components)
        return LoadFailure::CannotParse;
    return *components;
}

} // namespace ComponentsFile
