#pragma once

#include "meeting/ZeltMeetingApi.h"
#include "service/ZeltMeetingInfo.h"

#include <QList>
#include <QMap>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class AttendanceMonitor;
class ConsoleConfig;
class Zelt_AttendanceDialog;
class Zelt_LogfileDialog;
class Zelt_MeetingsInfoThread;
struct Zelt_LoginData;
namespace Ui {
class Zelt_MeetingsClass;
}

// The meetings panel: the meetings of the signed-in user with their live state, and what can
// be done with them and with the members of a running one.
class Zelt_Meetings : public QWidget
{
    Q_OBJECT

public:
    Zelt_Meetings(QWidget *parent, ConsoleConfig *config, Zelt_MeetingsInfoThread *infoThread,
                  Zelt_LoginData *loginData = nullptr);
    ~Zelt_Meetings() override;

    void setLoginData(Zelt_LoginData *data);
    // Where the Attendance button finds the records and the floor map its polls.
    void setAttendance(AttendanceMonitor *monitor);
    void requestMeetings();
    void updateButtons();
    // The selected meeting, or an empty one when nothing is selected.
    Zelt_MeetingService_API::ZeltMeeting currentMeeting() const;

signals:
    void meetingUpdate(int);
    void meetingChanged();
    void meetingConfigChanged(Zelt_Service_API::ZeltMeetingInfo info);
    void exitApp();

public slots:
    void onSetupUI();
    void onCreateMeeting(Zelt_MeetingService_API::ZeltMeeting summary);
    void onCreateMeetingE(Zelt_MeetingService_API::ZeltMeeting summary,
                          QNetworkReply::NetworkError error_type, QString error_str);
    void onDeleteMeeting();
    void onDeleteMeetingE(QNetworkReply::NetworkError error_type, QString error_str);
    void onUpdateMeeting(Zelt_MeetingService_API::ZeltMeeting summary);
    void onUpdateMeetingE(Zelt_MeetingService_API::ZeltMeeting summary,
                          QNetworkReply::NetworkError error_type, QString error_str);
    void on_tblMeetings_itemSelectionChanged();
    void on_btnMirLog_clicked();
    void on_btnSvcLog_clicked();
    void on_btnMeetingCreate_clicked();
    void on_btnMeetingEdit_clicked();
    void on_btnMeetingDelete_clicked();
    void on_btnMeetingRefresh_clicked();
    void on_btnMeetingActivate_clicked();
    void onMeetingsInfo(QMap<QString, Zelt_Service_API::ZeltMeetingInfo> map);
    void updatePlayerList(QMap<QString, Zelt_Service_API::ZeltMeetingInfo> map);
    void onGetMeetings(QList<Zelt_MeetingService_API::ZeltMeeting> summary);
    void onGetMeetingsE(QList<Zelt_MeetingService_API::ZeltMeeting> summary,
                        QNetworkReply::NetworkError error_type, QString error_str);

private slots:
    void setAuthToken(QString token);
    void on_btnMuteUser_clicked();
    void on_btnKickUser_clicked();
    void on_btnBanUser_clicked();
    void on_tblMeetingMembers_itemSelectionChanged();
    void on_btnSendMsg_clicked();
    void on_btnPresenter_clicked();
    void on_btnSpawnPoints_clicked();
    void on_btnURL_clicked();
    void on_btnBanlist_clicked();
    void on_btnExportAll_clicked();
    void on_btnAttendance_clicked();

private:
    QString selectedKey() const;
    // Opens the meeting editor on meeting; true when the user confirmed it.
    bool edit(Zelt_MeetingService_API::ZeltMeeting &meeting, int mode);
    using MemberChange = std::function<std::optional<Zelt_Service_API::ZeltMeetingInfo>(
        Zelt_Service_API::ZeltMeetingInfo info, qint32 clientId)>;
    // Changes the selected member's client in its meeting's live info, stores and announces the
    // result and answers the changed client; nothing when there was nothing to change.
    std::optional<Zelt_Service_API::ZeltMirrorClientInfo>
    changeSelectedMember(const MemberChange &change);

    std::unique_ptr<Ui::Zelt_MeetingsClass> ui;
    ConsoleConfig *config;
    Zelt_MeetingsInfoThread *infoThread;
    Zelt_LoginData *loginData = nullptr;
    Zelt_MeetingService_API::ZeltMeetingApi *meetingApi;
    QMap<QString, Zelt_MeetingService_API::ZeltMeeting> meetingMap;
    QMap<QString, Zelt_Service_API::ZeltMeetingInfo> liveInfo;
    QTimer refreshTimer;
    Zelt_LogfileDialog *logDialog = nullptr;
    AttendanceMonitor *attendance = nullptr;
    Zelt_AttendanceDialog *attendanceDialog = nullptr;
};
