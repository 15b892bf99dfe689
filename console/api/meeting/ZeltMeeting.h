#pragma once

#include "ZeltPresenter.h"
#include "Zelt_MeetingService_API.h"

namespace Zelt_MeetingService_API {

// A meeting definition as the meeting service stores it. A partial update sets only the fields
// to change: unset fields stay out of the JSON body.
// clang-format off
#define ZELT_MEETING_FIELDS(FIELD) \
    FIELD(qint64,        id,          Id,          "id",          Optional) \
    FIELD(QString,       meetingId,   MeetingId,   "meetingId",   Optional) \
    FIELD(QString,       title,       Title,       "title",       Optional) \
    FIELD(QString,       password,    Password,    "password",    Optional) \
    FIELD(QString,       description, Description, "description", Optional) \
    FIELD(QString,       creatorId,   CreatorId,   "creatorId",   Optional) \
    FIELD(QString,       creator,     Creator,     "creator",     Optional) \
    FIELD(QDate,         created,     Created,     "created",     Optional) \
    FIELD(QDate,         modified,    Modified,    "modified",    Optional) \
    FIELD(QString,       license,     License,     "license",     Optional) \
    FIELD(QString,       status,      Status,      "status",      Optional) \
    FIELD(qint32,        audioMode,   AudioMode,   "audioMode",   Optional) \
    FIELD(qint32,        audioMode3D, AudioMode3D, "audioMode3D", Optional) \
    FIELD(qint32,        chatMode,    ChatMode,    "chatMode",    Optional) \
    FIELD(ZeltPresenter, presenter,   Presenter,   "presenter",   Optional)
// clang-format on

class ZeltMeeting : public ZeltModel<ZeltMeeting>
{
    ZELT_MODEL(ZeltMeeting, ZELT_MEETING_FIELDS)
};

#undef ZELT_MEETING_FIELDS

} // namespace Zelt_MeetingService_API
