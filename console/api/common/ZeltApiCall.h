#pragma once

#include "ZeltHttpRequestInput.h"
#include "ZeltJsonConversions.h"
#include "ZeltObject.h"

#include <QString>

namespace Zelt_Common_API {

// The request of one client operation, assembled from its URL and its parameters in the order
// the operation lists them.
class ZeltApiCall
{
public:
    ZeltApiCall(const QString &url, const QString &method);

    // Replaces the placeholder {name} by the percent-encoded value.
    template <typename T> ZeltApiCall &path(const QString &name, const T &value)
    {
        return pathText(name, toStringValue(value));
    }
    // Appends name=value, both percent-encoded; empty values too.
    template <typename T> ZeltApiCall &query(const QString &name, const T &value)
    {
        return queryText(name, toStringValue(value));
    }
    ZeltApiCall &form(const QString &name, const QString &value);
    // The model's JSON text as the raw body.
    ZeltApiCall &body(const ZeltObject &model);

    const ZeltHttpRequestInput &input() const { return m_input; }

private:
    ZeltApiCall &pathText(const QString &name, const QString &value);
    ZeltApiCall &queryText(const QString &name, const QString &value);

    ZeltHttpRequestInput m_input;
};

} // namespace Zelt_Common_API
