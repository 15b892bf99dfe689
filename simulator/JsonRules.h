#pragma once

#include "HttpExchange.h"

#include <QJsonObject>

#include <QList>
#include <optional>

namespace VorelSim::JsonRules {

enum class Kind
{
    String,
    Integer,
    Number,
    Bool,
    Object,
    Array,
    StringArray,
    NumberArray,
    Vector
};

struct Field
{
    const char *name;
    Kind kind;
};
using Fields = QList<Field>;

bool isInteger(const QJsonValue &value);
bool fits(const QJsonValue &value, Kind kind);

// The first member present (and not null) with a value of the wrong kind, as an error text;
// empty when every listed member fits.
QString typeError(const QJsonObject &object, const Fields &fields);

// A request body that must be one JSON object whose members fit the fields. On failure the
// result is empty and *error holds the 400 reply.
std::optional<QJsonObject> readObject(const HttpRequest &request, const Fields &fields,
                                      const QString &source, HttpReply *error);

// Field lists of the platform's models.
extern const Fields meetingFields;
extern const Fields assetFields;
extern const Fields bundleFields;
extern const Fields spawnPointFields;
extern const Fields clientFields;
extern const Fields banlistFields;

} // namespace VorelSim::JsonRules
