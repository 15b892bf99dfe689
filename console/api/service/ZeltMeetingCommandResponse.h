#pragma once

#include "ZeltDefVector3.h"
#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// A running meeting's answer to a command.
// clang-format off
#define ZELT_MEETING_COMMAND_RESPONSE_FIELDS(FIELD) \
    FIELD(QString,               command,   Command,   "command",   Optional) \
    FIELD(QString,               meetingId, MeetingId, "meetingId", Optional) \
    FIELD(QList<QString>,        sList,     SList,     "sList",     Optional) \
    FIELD(QList<ZeltDefVector3>, vList,     VList,     "vList",     Optional)
// clang-format on

class ZeltMeetingCommandResponse : public ZeltModel<ZeltMeetingCommandResponse>
{
    ZELT_MODEL(ZeltMeetingCommandResponse, ZELT_MEETING_COMMAND_RESPONSE_FIELDS)
};

#undef ZELT_MEETING_COMMAND_RESPONSE_FIELDS

} // namespace Zelt_Service_API
