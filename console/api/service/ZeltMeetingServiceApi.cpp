#include "ZeltMeetingServiceApi.h"

namespace Zelt_Service_API {

void ZeltMeetingServiceApi::assetAdd(const QString &meetingId, const ZeltAsset &body)
{
    send(
        call("POST", "/zelt/svc/meeting/{meetingId}/asset").path("meetingId", meetingId).body(body),
        ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, assetAdd));
}

void ZeltMeetingServiceApi::assetDelete(const QString &meetingId, qint32 assetId)
{
    send(call("DELETE", "/zelt/svc/meeting/{meetingId}/asset/{assetId}")
             .path("meetingId", meetingId)
             .path("assetId", assetId),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, assetDelete));
}

void ZeltMeetingServiceApi::banlistDelete(qint32 banlistId)
{
    send(call("DELETE", "/zelt/svc/banlist").query("banlistId", banlistId),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, banlistDelete));
}

void ZeltMeetingServiceApi::banlistGet()
{
    send(call("GET", "/zelt/svc/banlist"),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, banlistGet));
}

void ZeltMeetingServiceApi::banlistPost(const ZeltBanlistEntry &body)
{
    send(call("POST", "/zelt/svc/banlist").body(body),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, banlistPost));
}

void ZeltMeetingServiceApi::meetingCommand(const QString &meetingId, const ZeltMeetingCommand &body)
{
    send(call("POST", "/zelt/svc/meeting/{meetingId}/command")
             .path("meetingId", meetingId)
             .body(body),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, meetingCommand));
}

ZeltHttpRequestWorker *ZeltMeetingServiceApi::meetingInfo(const QString &meetingId)
{
    return send(call("GET", "/zelt/svc/meeting/{meetingId}/info").path("meetingId", meetingId),
                ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, meetingInfo));
}

ZeltHttpRequestWorker *ZeltMeetingServiceApi::meetingInfoUpdate(const QString &meetingId,
                                                                const ZeltMeetingInfo &body)
{
    return send(
        call("PUT", "/zelt/svc/meeting/{meetingId}/info").path("meetingId", meetingId).body(body),
        ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, meetingInfoUpdate));
}

void ZeltMeetingServiceApi::meetingLogfile(const QString &meetingId, qint32 count)
{
    send(call("GET", "/zelt/svc/{meetingId}/logfile")
             .path("meetingId", meetingId)
             .query("count", count),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, meetingLogfile));
}

void ZeltMeetingServiceApi::s3TempAccessKey()
{
    send(call("GET", "/zelt/svc/s3/token"),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, s3TempAccessKey));
}

void ZeltMeetingServiceApi::serviceLogfile(qint32 count)
{
    send(call("GET", "/zelt/svc/logfile").query("count", count),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, serviceLogfile));
}

ZeltHttpRequestWorker *ZeltMeetingServiceApi::serviceMeetings()
{
    return send(call("GET", "/zelt/svc/meetings"),
                ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, serviceMeetings));
}

ZeltHttpRequestWorker *ZeltMeetingServiceApi::serviceStatus()
{
    return send(call("GET", "/zelt/svc/status"),
                ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, serviceStatus));
}

void ZeltMeetingServiceApi::serviceUpdate()
{
    send(call("GET", "/zelt/svc/update"),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, serviceUpdate));
}

void ZeltMeetingServiceApi::serviceVersions()
{
    send(call("GET", "/zelt/svc/versions"),
         ZELT_OPERATION_SIGNALS(ZeltMeetingServiceApi, serviceVersions));
}

} // namespace Zelt_Service_API
