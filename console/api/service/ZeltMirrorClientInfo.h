#pragma once

#include "ZeltDefCredentials.h"
#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// One client connected to a running meeting.
// clang-format off
#define ZELT_MIRROR_CLIENT_INFO_FIELDS(FIELD) \
    FIELD(qint32,             id,             Id,             "Id",             Optional) \
    FIELD(QString,            alias,          Alias,          "Alias",          Optional) \
    FIELD(QString,            currentRole,    CurrentRole,    "currentRole",    Optional) \
    FIELD(QString,            meetingId,      MeetingId,      "MeetingId",      Optional) \
    FIELD(qint32,             ip,             Ip,             "IP",             Optional) \
    FIELD(QString,            hostName,       HostName,       "HostName",       Optional) \
    FIELD(bool,               voiceEnabled,   VoiceEnabled,   "voiceEnabled",   Optional) \
    FIELD(bool,               voiceIsTalking, VoiceIsTalking, "voiceIsTalking", Optional) \
    FIELD(ZeltDefCredentials, credentials,    Credentials,    "Credentials",    Optional)
// clang-format on

class ZeltMirrorClientInfo : public ZeltModel<ZeltMirrorClientInfo>
{
    ZELT_MODEL(ZeltMirrorClientInfo, ZELT_MIRROR_CLIENT_INFO_FIELDS)
};

#undef ZELT_MIRROR_CLIENT_INFO_FIELDS

} // namespace Zelt_Service_API
