#include "Zelt_Meetings.h"

#include "ConsoleConfig.h"
#include "ZeltClientFactory.h"
#include "Zelt_LoginData.h"
#include "Zelt_MeetingsInfoThread.h"

using namespace Zelt_MeetingService_API;

Zelt_Meetings::Zelt_Meetings(QWidget *parent, ConsoleConfig *config,
                             Zelt_MeetingsInfoThread *infoThread, Zelt_LoginData *loginData)
    : QWidget(parent), config(config), infoThread(infoThread),
      meetingApi(newZeltClient<ZeltMeetingApi>(
          config->meetingServiceHost, config->meetingServicePath, ZeltDefaultHeaders::Json, this))
{

    connect(infoThread, &Zelt_MeetingsInfoThread::meetingsInfo, this,
            &Zelt_Meetings::onMeetingsInfo);
    connect(infoThread, &Zelt_MeetingsInfoThread::tokenChanged, this, &Zelt_Meetings::setAuthToken);
    connect(meetingApi, &ZeltMeetingApi::getMeetingsSignal, this, &Zelt_Meetings::onGetMeetings);
    connect(meetingApi, &ZeltMeetingApi::getMeetingsSignalE, this, &Zelt_Meetings::onGetMeetingsE);
    setLoginData(loginData);
}

void Zelt_Meetings::setLoginData(Zelt_LoginData *data)
{
    loginData = data;
    if (loginData)
        setAuthToken(loginData->accessToken);
}

void Zelt_Meetings::setAuthToken(QString token)
{
    if (config->meetingServiceAuth)
        meetingApi->setBearerToken(token);
}

void Zelt_Meetings::requestMeetings()
{
    if (!loginData || !loginData->loggedIn)
        return;
    setAuthToken(loginData->accessToken);
    const bool seesAll = loginData->isAdministrator() ||
                         loginData->hasRole(QStringLiteral("Zelt_Group_Administrator"));
    meetingApi->getMeetings(seesAll ? QStringLiteral("*") : loginData->id);
}

ZeltMeeting Zelt_Meetings::currentMeeting() const
{
    for (const ZeltMeeting &meeting : meetingList)
        if (!selectedKey.isEmpty() && meeting.meetingId().toLower() == selectedKey)
            return meeting;
    return ZeltMeeting();
}

void Zelt_Meetings::onGetMeetings(QList<ZeltMeeting> summary)
{
    meetingList = summary;
    emit meetingUpdate(-1);
}

void Zelt_Meetings::onGetMeetingsE(QList<ZeltMeeting>, QNetworkReply::NetworkError, QString) {}

void Zelt_Meetings::onMeetingsInfo(QMap<QString, Zelt_Service_API::ZeltMeetingInfo> map)
{
    liveInfo = map;
}
