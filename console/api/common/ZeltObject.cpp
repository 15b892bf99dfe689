#include "ZeltObject.h"

#include <QJsonDocument>

namespace Zelt_Common_API {

QJsonObject ZeltObject::asJsonObject() const
{
    return m_json;
}

QString ZeltObject::asJson() const
{
    return QString::fromUtf8(QJsonDocument(m_json).toJson(QJsonDocument::Compact));
}

void ZeltObject::fromJson(const QString &json)
{
    m_json = zeltParseObject(json);
}

void ZeltObject::fromJsonObject(const QJsonObject &json)
{
    m_json = json;
}

bool ZeltObject::isSet() const
{
    return false;
}

bool ZeltObject::isValid() const
{
    return true;
}

QJsonObject zeltParseObject(const QString &json)
{
    QByteArray bytes = json.toUtf8();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QJsonDocument::fromJson(bytes).object();
}

} // namespace Zelt_Common_API
