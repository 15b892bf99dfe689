#pragma once

#include "ZeltDefVector3.h"
#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// A named start position in a meeting.
// clang-format off
#define ZELT_SPAWN_POINT_FIELDS(FIELD) \
    FIELD(qint32,         id,        Id,        "Id",        Optional) \
    FIELD(qint32,         playerId,  PlayerId,  "PlayerId",  Optional) \
    FIELD(QString,        meetingId, MeetingId, "MeetingId", Optional) \
    FIELD(QString,        name,      Name,      "Name",      Optional) \
    FIELD(ZeltDefVector3, position,  Position,  "Position",  Optional) \
    FIELD(ZeltDefVector3, rotation,  Rotation,  "Rotation",  Optional)
// clang-format on

class ZeltSpawnPoint : public ZeltModel<ZeltSpawnPoint>
{
    ZELT_MODEL(ZeltSpawnPoint, ZELT_SPAWN_POINT_FIELDS)
};

#undef ZELT_SPAWN_POINT_FIELDS

} // namespace Zelt_Service_API
