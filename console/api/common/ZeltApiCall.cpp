#include "ZeltApiCall.h"

#include "ZeltHttpEncoding.h"

namespace Zelt_Common_API {

ZeltApiCall::ZeltApiCall(const QString &url, const QString &method) : m_input(url, method) {}

ZeltApiCall &ZeltApiCall::form(const QString &name, const QString &value)
{
    m_input.add_var(name, value);
    return *this;
}

ZeltApiCall &ZeltApiCall::body(const ZeltObject &model)
{
    m_input.request_body = model.asJson().toUtf8();
    return *this;
}

ZeltApiCall &ZeltApiCall::pathText(const QString &name, const QString &value)
{
    m_input.url_str.replace(QLatin1Char('{') + name + QLatin1Char('}'),
                            QString::fromLatin1(zeltPercentEncode(value)));
    return *this;
}

ZeltApiCall &ZeltApiCall::queryText(const QString &name, const QString &value)
{
    m_input.url_str =
        zeltAppendQuery(m_input.url_str, QString::fromLatin1(zeltPercentEncode(name) + '=' +
                                                             zeltPercentEncode(value)));
    return *this;
}

} // namespace Zelt_Common_API
