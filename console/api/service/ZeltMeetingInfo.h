#pragma once

#include "ZeltAsset.h"
#include "ZeltAssetBundle.h"
#include "ZeltMirrorClientInfo.h"
#include "ZeltSpawnPoint.h"
#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// The live state of one meeting: listed, read and written by the main service.
// clang-format off
#define ZELT_MEETING_INFO_FIELDS(FIELD) \
    FIELD(QString,                     meetingId,             MeetingId,             "meetingId",             Optional) \
    FIELD(qint32,                      statusMirror,          StatusMirror,          "statusMirror",          Optional) \
    FIELD(QString,                     endingTime,            EndingTime,            "endingTime",            Optional) \
    FIELD(qint32,                      licenseMode,           LicenseMode,           "licenseMode",           Optional) \
    FIELD(qint32,                      licenseCountAttendees, LicenseCountAttendees, "licenseCountAttendees", Optional) \
    FIELD(qint32,                      voiceMode,             VoiceMode,             "voiceMode",             Optional) \
    FIELD(qint32,                      voiceMode3D,           VoiceMode3D,           "voiceMode3D",           Optional) \
    FIELD(qint32,                      chatMode,              ChatMode,              "chatMode",              Optional) \
    FIELD(QList<ZeltMirrorClientInfo>, clients,               Clients,               "clients",               Optional) \
    FIELD(QList<ZeltAsset>,            assets,                Assets,                "assets",                Optional) \
    FIELD(QList<ZeltAssetBundle>,      assetBundles,          AssetBundles,          "assetBundles",          Optional) \
    FIELD(QList<ZeltSpawnPoint>,       spawnPoints,           SpawnPoints,           "spawnPoints",           Optional)
// clang-format on

class ZeltMeetingInfo : public ZeltModel<ZeltMeetingInfo>
{
    ZELT_MODEL(ZeltMeetingInfo, ZELT_MEETING_INFO_FIELDS)
};

#undef ZELT_MEETING_INFO_FIELDS

} // namespace Zelt_Service_API
