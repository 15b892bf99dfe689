#include "ZeltHttpRequestInput.h"

namespace Zelt_Common_API {

ZeltHttpRequestInput::ZeltHttpRequestInput(const QString &url, const QString &method)
    : url_str(url), http_method(method)
{
}

void ZeltHttpRequestInput::add_var(const QString &key, const QString &value)
{
    vars.insert(key, value);
}

void ZeltHttpRequestInput::add_file(const QString &variableName, const QString &localFilename,
                                    const QString &requestFilename, const QString &mimeType)
{
    files.append({variableName, localFilename, requestFilename, mimeType});
}

} // namespace Zelt_Common_API
