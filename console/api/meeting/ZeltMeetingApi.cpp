#include "ZeltMeetingApi.h"

namespace Zelt_MeetingService_API {

void ZeltMeetingApi::createMeeting(const ZeltMeeting &body)
{
    send(call("POST", "/meetings").body(body),
         ZELT_OPERATION_SIGNALS(ZeltMeetingApi, createMeeting));
}

void ZeltMeetingApi::deleteMeeting(const QString &meetingId)
{
    send(call("DELETE", "/meetings/{meetingId}").path("meetingId", meetingId),
         ZELT_OPERATION_SIGNALS(ZeltMeetingApi, deleteMeeting));
}

void ZeltMeetingApi::getMeetings(const QString &creator)
{
    send(call("GET", "/meetings").query("creator", creator),
         ZELT_OPERATION_SIGNALS(ZeltMeetingApi, getMeetings));
}

void ZeltMeetingApi::updateMeeting(const QString &meetingId, const ZeltMeeting &body)
{
    send(call("PATCH", "/meetings/{meetingId}").path("meetingId", meetingId).body(body),
         ZELT_OPERATION_SIGNALS(ZeltMeetingApi, updateMeeting));
}

} // namespace Zelt_MeetingService_API
