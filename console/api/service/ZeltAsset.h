#pragma once

#include "ZeltDefCredentials.h"
#include "ZeltDefVector3.h"
#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// One file or URL placeholder assigned to a meeting.
// clang-format off
#define ZELT_ASSET_FIELDS(FIELD) \
    FIELD(qint32,             id,             Id,             "Id",             Optional) \
    FIELD(QString,            meetingId,      MeetingId,      "MeetingId",      Optional) \
    FIELD(QString,            name,           Name,           "Name",           Optional) \
    FIELD(qint32,             mode,           Mode,           "Mode",           Optional) \
    FIELD(QString,            stgHost,        StgHost,        "StgHost",        Optional) \
    FIELD(QString,            stgBucket,      StgBucket,      "StgBucket",      Optional) \
    FIELD(QString,            stgRelPath,     StgRelPath,     "StgRelPath",     Optional) \
    FIELD(qint64,             stgSize,        StgSize,        "StgSize",        Optional) \
    FIELD(QString,            stgPreSgnPath,  StgPreSgnPath,  "StgPreSgnPath",  Optional) \
    FIELD(QString,            stgChecksum,    StgChecksum,    "StgChecksum",    Optional) \
    FIELD(ZeltDefCredentials, stgCredentials, StgCredentials, "StgCredentials", Optional) \
    FIELD(ZeltDefVector3,     position,       Position,       "Position",       Optional) \
    FIELD(ZeltDefVector3,     rotation,       Rotation,       "Rotation",       Optional) \
    FIELD(ZeltDefVector3,     scale,          Scale,          "Scale",          Optional)
// clang-format on

class ZeltAsset : public ZeltModel<ZeltAsset>
{
    ZELT_MODEL(ZeltAsset, ZELT_ASSET_FIELDS)
};

#undef ZELT_ASSET_FIELDS

} // namespace Zelt_Service_API
