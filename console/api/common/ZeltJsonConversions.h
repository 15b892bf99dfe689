#pragma once

#include "ZeltObject.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QString>

// The conversions between JSON members and field values that every model uses. Each
// fromJsonValue returns whether the member converted; the value is then what it yielded.
namespace Zelt_Common_API {

// From a string, bool or number (numbers in the general format with 6 significant digits).
bool fromJsonValue(QString &value, const QJsonValue &json);
// From any scalar; only a whole number gives its value, a fraction, bool or string gives 0.
bool fromJsonValue(qint32 &value, const QJsonValue &json);
// From any scalar: a number rounded, a bool as 1 or 0, a string its integer reading (else 0).
bool fromJsonValue(qint64 &value, const QJsonValue &json);
// From a number only.
bool fromJsonValue(float &value, const QJsonValue &json);
// From a bool only.
bool fromJsonValue(bool &value, const QJsonValue &json);
// From a string holding a valid ISO 8601 date only.
bool fromJsonValue(QDate &value, const QJsonValue &json);
// From an object only; succeeds when the nested model is valid.
bool fromJsonValue(ZeltObject &value, const QJsonValue &json);

// From an array only. Elements that fail are kept too; success means every element converted.
template <typename T> bool fromJsonValue(QList<T> &values, const QJsonValue &json)
{
    if (!json.isArray())
        return false;
    bool allConverted = true;
    const QJsonArray array = json.toArray();
    for (const QJsonValue &element : array) {
        T value{};
        allConverted &= fromJsonValue(value, element);
        values.append(value);
    }
    return allConverted;
}

QJsonValue toJsonValue(const QString &value);
QJsonValue toJsonValue(qint32 value);
QJsonValue toJsonValue(qint64 value);
QJsonValue toJsonValue(float value);
QJsonValue toJsonValue(bool value);
QJsonValue toJsonValue(const QDate &value);
QJsonValue toJsonValue(const ZeltObject &value);

template <typename T> QJsonValue toJsonValue(const QList<T> &values)
{
    QJsonArray array;
    for (const T &value : values)
        array.append(toJsonValue(value));
    return array;
}

// Reply bodies that are not JSON: a copy of the text (succeeds when not empty), or its integer
// reading (succeeds when it is a number, else 0).
bool fromStringValue(const QString &text, QString &value);
bool fromStringValue(const QString &text, qint32 &value);

// Path and query parameters as text.
QString toStringValue(const QString &value);
QString toStringValue(qint32 value);

} // namespace Zelt_Common_API
