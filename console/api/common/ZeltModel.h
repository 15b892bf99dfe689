#pragma once

#include "ZeltField.h"
#include "ZeltObject.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace Zelt_Common_API {

enum class ZeltRequirement
{
    Optional,
    Required
};

// The JSON side of every model, written once over the model's declared fields (see ZELT_MODEL).
// Members are read and written in declaration order; only fields with content are written.
template <typename Model> class ZeltModel : public ZeltObject
{
public:
    QJsonObject asJsonObject() const override
    {
        QJsonObject json;
        model().visitFields([&json](const QString &name, const auto &field, ZeltRequirement) {
            field.writeTo(json, name);
        });
        return json;
    }

    // Indented JSON text.
    QString asJson() const override
    {
        return QString::fromUtf8(QJsonDocument(asJsonObject()).toJson());
    }

    void fromJson(const QString &json) override { fromJsonObject(zeltParseObject(json)); }

    void fromJsonObject(const QJsonObject &json) override
    {
        model().visitFields([&json](const QString &name, auto &field, ZeltRequirement) {
            field.read(json.value(name));
        });
    }

    bool isSet() const override
    {
        bool set = false;
        model().visitFields([&set](const QString &, const auto &field, ZeltRequirement) {
            set |= field.hasContent();
        });
        return set;
    }

    bool isValid() const override
    {
        bool valid = true;
        model().visitFields(
            [&valid](const QString &, const auto &field, ZeltRequirement requirement) {
                valid &= requirement == ZeltRequirement::Optional || field.isValid();
            });
        return valid;
    }

private:
    Model &model() { return static_cast<Model &>(*this); }
    const Model &model() const { return static_cast<const Model &>(*this); }
};

} // namespace Zelt_Common_API

// A model class is its list of fields. FIELDS is a macro that applies its argument to each field
// as (Type, name, Name, "jsonName", Optional|Required); ZELT_MODEL turns that list into the
// constructors, the fields and, per field, Qt-style accessors: name(), setName(), isNameSet()
// and isNameValid().
#define ZELT_MODEL(Class, FIELDS)                                                                  \
public:                                                                                            \
    Class() = default;                                                                             \
    explicit Class(const QString &json)                                                            \
    {                                                                                              \
        fromJson(json);                                                                            \
    }                                                                                              \
    FIELDS(ZELT_MODEL_ACCESSORS)                                                                   \
    template <typename Visitor> void visitFields(Visitor &&visit)                                  \
    {                                                                                              \
        FIELDS(ZELT_MODEL_VISIT)                                                                   \
    }                                                                                              \
    template <typename Visitor> void visitFields(Visitor &&visit) const                            \
    {                                                                                              \
        FIELDS(ZELT_MODEL_VISIT)                                                                   \
    }                                                                                              \
                                                                                                   \
private:                                                                                           \
    FIELDS(ZELT_MODEL_MEMBER)

#define ZELT_MODEL_ACCESSORS(Type, name, Name, key, requirement)                                   \
    Type name() const                                                                              \
    {                                                                                              \
        return m_##name.value();                                                                   \
    }                                                                                              \
    void set##Name(const Type &value)                                                              \
    {                                                                                              \
        m_##name.setValue(value);                                                                  \
    }                                                                                              \
    bool is##Name##Set() const                                                                     \
    {                                                                                              \
        return m_##name.isSet();                                                                   \
    }                                                                                              \
    bool is##Name##Valid() const                                                                   \
    {                                                                                              \
        return m_##name.isValid();                                                                 \
    }

#define ZELT_MODEL_VISIT(Type, name, Name, key, requirement)                                       \
    visit(QStringLiteral(key), m_##name, Zelt_Common_API::ZeltRequirement::requirement);

#define ZELT_MODEL_MEMBER(Type, name, Name, key, requirement)                                      \
    Zelt_Common_API::ZeltField<Type> m_##name;
