#pragma once

#include <QJsonObject>
#include <QString>

namespace Zelt_Common_API {

// Base of every REST model. On its own it just holds one JSON object; the models derive from
// ZeltModel, which converts their declared fields.
class ZeltObject
{
public:
    ZeltObject() = default;
    ZeltObject(const ZeltObject &) = default;
    ZeltObject &operator=(const ZeltObject &) = default;
    virtual ~ZeltObject() = default;

    virtual QJsonObject asJsonObject() const;
    // Compact JSON text.
    virtual QString asJson() const;
    virtual void fromJson(const QString &json);
    virtual void fromJsonObject(const QJsonObject &json);
    virtual bool isSet() const;
    virtual bool isValid() const;

private:
    QJsonObject m_json;
};

// The top-level object of a JSON text (its UTF-8 bytes up to the first NUL); empty when the text
// is not a JSON object.
QJsonObject zeltParseObject(const QString &json);

} // namespace Zelt_Common_API
