#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// A command sent into a running meeting.
// clang-format off
#define ZELT_MEETING_COMMAND_FIELDS(FIELD) \
    FIELD(QString,        meetingId, MeetingId, "meetingId", Optional) \
    FIELD(QString,        command,   Command,   "command",   Optional) \
    FIELD(QList<QString>, params,    Params,    "params",    Optional)
// clang-format on

class ZeltMeetingCommand : public ZeltModel<ZeltMeetingCommand>
{
    ZELT_MODEL(ZeltMeetingCommand, ZELT_MEETING_COMMAND_FIELDS)
};

#undef ZELT_MEETING_COMMAND_FIELDS

} // namespace Zelt_Service_API
