#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// One published client version.
// clang-format off
#define ZELT_VERSION_FIELDS(FIELD) \
    FIELD(QString,       name,      Name,      "Name",      Optional) \
    FIELD(QList<qint32>, version,   Version,   "Version",   Optional) \
    FIELD(QString,       updateUrl, UpdateUrl, "UpdateUrl", Optional)
// clang-format on

class ZeltVersion : public ZeltModel<ZeltVersion>
{
    ZELT_MODEL(ZeltVersion, ZELT_VERSION_FIELDS)
};

#undef ZELT_VERSION_FIELDS

} // namespace Zelt_Service_API
