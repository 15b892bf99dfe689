#pragma once

#include "ZeltJsonConversions.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <type_traits>

namespace Zelt_Common_API {

template <typename T> struct ZeltIsList : std::false_type
{
};
template <typename T> struct ZeltIsList<QList<T>> : std::true_type
{
};

// One field of a model: its value, whether it is set and whether its JSON member converted.
template <typename T> class ZeltField
{
public:
    T value() const { return m_value; }
    // Marks the field set; validity stays what the last conversion said.
    void setValue(const T &value)
    {
        m_value = value;
        m_set = true;
    }
    bool isSet() const { return m_set; }
    bool isValid() const { return m_valid; }

    // Valid when the member converts; set when it also is not null. A missing member fails.
    void read(const QJsonValue &json)
    {
        m_value = T{};
        m_valid = fromJsonValue(m_value, json);
        m_set = m_valid && !json.isNull();
    }

    // Whether the field is written: scalars when set, lists when they hold elements, nested
    // models when they are set themselves.
    bool hasContent() const
    {
        if constexpr (std::is_base_of_v<ZeltObject, T>)
            return m_value.isSet();
        else if constexpr (ZeltIsList<T>::value)
            return !m_value.isEmpty();
        else
            return m_set;
    }

    void writeTo(QJsonObject &json, const QString &name) const
    {
        if (hasContent())
            json.insert(name, toJsonValue(m_value));
    }

private:
    T m_value{};
    bool m_set = false;
    bool m_valid = false;
};

} // namespace Zelt_Common_API
