#pragma once

#include "Zelt_AuthService_API.h"

namespace Zelt_AuthService_API {

// The error object the services send as the body of a failed request.
// clang-format off
#define ZELT_ERROR_FIELDS(FIELD) \
    FIELD(qint32,  code,    Code,    "code",    Required) \
    FIELD(QString, message, Message, "message", Required) \
    FIELD(QString, source,  Source,  "source",  Required) \
    FIELD(QString, file,    File,    "file",    Optional) \
    FIELD(QString, func,    Func,    "func",    Optional) \
    FIELD(qint32,  line,    Line,    "line",    Optional)
// clang-format on

class ZeltError : public ZeltModel<ZeltError>
{
    ZELT_MODEL(ZeltError, ZELT_ERROR_FIELDS)

public:
    // The error object of a failure text: Qt's error text, ", " and the reply body. Empty (and
    // invalid) when the text holds no ", {".
    static ZeltError fromErrorText(const QString &errorText)
    {
        ZeltError error;
        const qsizetype start = errorText.indexOf(QLatin1String(", {"));
        if (start >= 0)
            error.fromJson(errorText.mid(start + 2));
        return error;
    }
};

#undef ZELT_ERROR_FIELDS

} // namespace Zelt_AuthService_API
