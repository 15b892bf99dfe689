#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// One banned file.
// clang-format off
#define ZELT_BANLIST_ENTRY_FIELDS(FIELD) \
    FIELD(qint32,  id,       Id,       "Id",       Optional) \
    FIELD(qint32,  mode,     Mode,     "Mode",     Optional) \
    FIELD(QString, filename, Filename, "Filename", Optional) \
    FIELD(QString, checksum, Checksum, "Checksum", Optional)
// clang-format on

class ZeltBanlistEntry : public ZeltModel<ZeltBanlistEntry>
{
    ZELT_MODEL(ZeltBanlistEntry, ZELT_BANLIST_ENTRY_FIELDS)
};

#undef ZELT_BANLIST_ENTRY_FIELDS

} // namespace Zelt_Service_API
