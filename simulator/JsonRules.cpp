#include "JsonRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace VorelSim::JsonRules {

namespace {
bool allElements(const QJsonValue &value, Kind kind)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    return std::all_of(array.begin(), array.end(),
                       [kind](const QJsonValue &element) { return fits(element, kind); });
}

bool isVector(const QJsonValue &value)
{
    if (!value.isObject())
        return false;
    const QJsonObject object = value.toObject();
    for (const char *axis : {"x", "y", "z"}) {
        const QJsonValue member = object.value(QLatin1String(axis));
        if (!member.isUndefined() && !member.isNull() && !member.isDouble())
            return false;
    }
    return true;
}
} // namespace

bool isInteger(const QJsonValue &value)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    return std::isfinite(number) && std::floor(number) == number;
}

bool fits(const QJsonValue &value, Kind kind)
{
    switch (kind) {
    case Kind::String:
        return value.isString();
    case Kind::Integer:
        return isInteger(value);
    case Kind::Number:
        return value.isDouble();
    case Kind::Bool:
        return value.isBool();
    case Kind::Object:
        return value.isObject();
    case Kind::Array:
        return value.isArray();
    case Kind::StringArray:
        return allElements(value, Kind::String);
    case Kind::NumberArray:
        return allElements(value, Kind::Number);
    case Kind::Vector:
        return isVector(value);
    }
    return false;
}

QString typeError(const QJsonObject &object, const Fields &fields)
{
    for (const Field &field : fields) {
        const QJsonValue value = object.value(QLatin1String(field.name));
        if (value.isUndefined() || value.isNull() || fits(value, field.kind))
            continue;
        return QStringLiteral("Invalid value for '%1'").arg(QLatin1String(field.name));
    }
    return {};
}

std::optional<QJsonObject> readObject(const HttpRequest &request, const Fields &fields,
                                      const QString &source, HttpReply *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = errorReply(
            400, QStringLiteral("Malformed JSON body: %1").arg(parseError.errorString()), source);
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = errorReply(400, QStringLiteral("Expected a JSON object"), source);
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const QString mismatch = typeError(object, fields);
    if (!mismatch.isEmpty()) {
        *error = errorReply(400, mismatch, source);
        return std::nullopt;
    }
    return object;
}

const Fields meetingFields = {
    {"id", Kind::Integer},          {"meetingId", Kind::String},   {"title", Kind::String},
    {"password", Kind::String},     {"description", Kind::String}, {"creatorId", Kind::String},
    {"creator", Kind::String},      {"created", Kind::String},     {"modified", Kind::String},
    {"license", Kind::String},      {"status", Kind::String},      {"audioMode", Kind::Integer},
    {"audioMode3D", Kind::Integer}, {"chatMode", Kind::Integer},   {"presenter", Kind::Object},
};

const Fields assetFields = {
    {"Id", Kind::Integer},
    {"MeetingId", Kind::String},
    {"Name", Kind::String},
    {"Mode", Kind::Integer},
    {"StgHost", Kind::String},
    {"StgBucket", Kind::String},
    {"StgRelPath", Kind::String},
    {"StgSize", Kind::Number},
    {"StgPreSgnPath", Kind::String},
    {"StgChecksum", Kind::String},
    {"StgCredentials", Kind::Object},
    {"Position", Kind::Vector},
    {"Rotation", Kind::Vector},
    {"Scale", Kind::Vector},
};

const Fields bundleFields = {
    {"Id", Kind::String},
    {"UserId", Kind::String},
    {"UserName", Kind::String},
    {"Name", Kind::String},
    {"Mode", Kind::Integer},
    {"StgRelPath", Kind::String},
    {"StgSize", Kind::NumberArray},
    {"StgPreSgnPath", Kind::StringArray},
    {"StgChecksums", Kind::StringArray},
};

const Fields spawnPointFields = {
    {"Id", Kind::Integer},  {"PlayerId", Kind::Integer}, {"MeetingId", Kind::String},
    {"Name", Kind::String}, {"Position", Kind::Vector},  {"Rotation", Kind::Vector},
};

const Fields clientFields = {
    {"Id", Kind::Integer},        {"Alias", Kind::String},        {"currentRole", Kind::String},
    {"MeetingId", Kind::String},  {"IP", Kind::Integer},          {"HostName", Kind::String},
    {"voiceEnabled", Kind::Bool}, {"voiceIsTalking", Kind::Bool}, {"Credentials", Kind::Object},
};

const Fields banlistFields = {
    {"Id", Kind::Integer},
    {"Mode", Kind::Integer},
    {"Filename", Kind::String},
    {"Checksum", Kind::String},
};

} // namespace VorelSim::JsonRules
