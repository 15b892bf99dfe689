#include "ZeltJsonConversions.h"

#include <cmath>
#include <limits>

namespace Zelt_Common_API {

namespace {

bool isScalar(const QJsonValue &json)
{
    return !json.isNull() && !json.isUndefined() && !json.isArray() && !json.isObject();
}

// Rounds to the nearest integer; numbers beyond the range of qint64 give 0.
qint64 roundedToInt64(double number)
{
    constexpr double limit = 9.2e18;
    return std::abs(number) < limit ? qRound64(number) : 0;
}

} // namespace

bool fromJsonValue(QString &value, const QJsonValue &json)
{
    if (json.isString())
        value = json.toString();
    else if (json.isBool())
        value = json.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else if (json.isDouble())
        value = QString::number(json.toDouble(), 'g', 6);
    else
        return false;
    return true;
}

bool fromJsonValue(qint32 &value, const QJsonValue &json)
{
    if (!isScalar(json))
        return false;
    value = json.toInt();
    return true;
}

bool fromJsonValue(qint64 &value, const QJsonValue &json)
{
    if (!isScalar(json))
        return false;
    if (json.isDouble()) {
        value = roundedToInt64(json.toDouble());
    } else if (json.isBool()) {
        value = json.toBool() ? 1 : 0;
    } else {
        bool isNumber = false;
        value = json.toString().toLongLong(&isNumber);
        if (!isNumber)
            value = 0;
    }
    return true;
}

bool fromJsonValue(float &value, const QJsonValue &json)
{
    // A number beyond the range of float (or no number at all) does not convert, as a member of
    // another type: as infinity it would be written back as JSON's null (and the cast itself is
    // undefined).
    const double number = json.toDouble();
    if (!json.isDouble() || !(std::abs(number) <= double(std::numeric_limits<float>::max())))
        return false;
    value = static_cast<float>(number);
    return true;
}

bool fromJsonValue(bool &value, const QJsonValue &json)
{
    if (!json.isBool())
        return false;
    value = json.toBool();
    return true;
}

bool fromJsonValue(QDate &value, const QJsonValue &json)
{
    if (!json.isString())
        return false;
    value = QDate::fromString(json.toString(), Qt::ISODate);
    return value.isValid();
}

bool fromJsonValue(ZeltObject &value, const QJsonValue &json)
{
    if (!json.isObject())
        return false;
    value.fromJsonObject(json.toObject());
    return value.isValid();
}

QJsonValue toJsonValue(const QString &value)
{
    return value;
}

QJsonValue toJsonValue(qint32 value)
{
    return value;
}

QJsonValue toJsonValue(qint64 value)
{
    return value;
}

QJsonValue toJsonValue(float value)
{
    return static_cast<double>(value);
}

QJsonValue toJsonValue(bool value)
{
    return value;
}

QJsonValue toJsonValue(const QDate &value)
{
    return value.toString(Qt::ISODate);
}

QJsonValue toJsonValue(const ZeltObject &value)
{
    return value.asJsonObject();
}

bool fromStringValue(const QString &text, QString &value)
{
    value = text;
    return !text.isEmpty();
}

bool fromStringValue(const QString &text, qint32 &value)
{
    bool isNumber = false;
    value = text.toInt(&isNumber);
    return isNumber;
}

QString toStringValue(const QString &value)
{
    return value;
}

QString toStringValue(qint32 value)
{
    return QString::number(value);
}

} // namespace Zelt_Common_API
