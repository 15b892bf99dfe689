#pragma once

#include "meeting/ZeltMeetingApi.h"
#include "service/ZeltMeetingInfo.h"

#include <QList>
#include <QMap>
#include <QTimer>
#include <QWidget>

class ConsoleConfig;
class Zelt_MeetingsInfoThread;
struct Zelt_LoginData;

// The meetings panel: the meetings of the signed-in user and their live state.
class Zelt_Meetings : public QWidget
{
    Q_OBJECT

public:
    Zelt_Meetings(QWidget *parent, ConsoleConfig *config, Zelt_MeetingsInfoThread *infoThread,
                  Zelt_LoginData *loginData = nullptr);

    void setLoginData(Zelt_LoginData *data);
    void requestMeetings();
    // The selected meeting, or an empty one when nothing is selected.
    Zelt_MeetingService_API::ZeltMeeting currentMeeting() const;
    QList<Zelt_MeetingService_API::ZeltMeeting> meetings() const { return meetingList; }

signals:
    void meetingUpdate(int);
    void meetingChanged();
    void meetingConfigChanged(Zelt_Service_API::ZeltMeetingInfo info);
    void exitApp();

public slots:
    void onGetMeetings(QList<Zelt_MeetingService_API::ZeltMeeting> summary);
    void onGetMeetingsE(QList<Zelt_MeetingService_API::ZeltMeeting> summary,
                        QNetworkReply::NetworkError error_type, QString error_str);
    void onMeetingsInfo(QMap<QString, Zelt_Service_API::ZeltMeetingInfo> map);

private slots:
    void setAuthToken(QString token);

private:
    ConsoleConfig *config;
    Zelt_MeetingsInfoThread *infoThread;
    Zelt_LoginData *loginData = nullptr;
    Zelt_MeetingService_API::ZeltMeetingApi *meetingApi;
    QList<Zelt_MeetingService_API::ZeltMeeting> meetingList;
    QMap<QString, Zelt_Service_API::ZeltMeetingInfo> liveInfo;
    QString selectedKey;
};
