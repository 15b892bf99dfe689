#pragma once

#include "LivePoll.h"
#include "VersionNumber.h"
#include "ZeltClientFactory.h"
#include "auth/ZeltAuthApi.h"
#include "auth/ZeltError.h"
#include "service/ZeltAssetBundleApi.h"
#include "service/ZeltMeetingServiceApi.h"
#include "service/ZeltSpawnPoint.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class ConsoleConfig;
struct Zelt_LoginData;

// The live info object: the console's gateway to the main service (live meeting state, meeting
// commands, logs, status and versions, storage credentials, asset bundles, banlist). It keeps
// the session token fresh and passes every result on as a signal. Despite the name it is a plain
// object on the GUI thread; all its work is asynchronous network traffic.
class Zelt_MeetingsInfoThread : public QObject, public Zelt_Common_API::ZeltTokenRenewal
{
    Q_OBJECT

public:
    using _serviceVersion = VersionNumber;

    Zelt_MeetingsInfoThread(QObject *parent, ConsoleConfig *config);

    // The time a poll's answer is recorded at: the machine's clock unless replaced (tests follow
    // the stand-in's clock).
    void setClock(std::function<QDateTime()> clock) { pollClock = std::move(clock); }

    // A request refused with 401: one refresh for all of them; when it fails the session is over.
    void renewAccessToken(QObject *context, std::function<void(bool renewed)> done) override;

signals:
    void meetingsInfo(QMap<QString, Zelt_Service_API::ZeltMeetingInfo> info);
    // The same answer as the running meetings with their participants, after meetingsInfo.
    void meetingsPolled(LivePoll poll);
    void serviceStatus(bool ok);
    void serviceVersion(Zelt_MeetingsInfoThread::_serviceVersion version);
    void serviceVersions(Zelt_Service_API::ZeltVersions versions);
    // The versions request failed; serviceVersions follows with the empty result.
    void serviceVersionsFailed();
    void mirrorLog(QString log);
    void playerPos(Zelt_Service_API::ZeltSpawnPoint pnt);
    void serviceLog(QString log);
    void s3TempAccess(Zelt_Service_API::ZeltS3TempAccessKey token);
    // Part of the interface, never emitted.
    void getServiceLogSignal();
    void getMirrorLogSignal(int id);
    void tokenChanged(QString token);
    void stopThread();
    void exitApp();
    void sessionExpired();
    void assetBundles(QList<Zelt_Service_API::ZeltAssetBundle> summary);
    void assetBundlePost(QString summary);
    void assetBundlePostError(Zelt_AuthService_API::ZeltError error);
    void assetBundleDeleted(QString summary);
    void banlist(QList<Zelt_Service_API::ZeltBanlistEntry> summary);
    void banlistPost(int summary);
    void banlistPostError(Zelt_AuthService_API::ZeltError error);
    void banlistDeleted(int summary);

public slots:
    // The poll: refreshes the token when due, then lists the running meetings and asks the status.
    void getMeetingsInfo();
    // The session record stays the caller's; refreshed tokens are written back into it.
    void setLoginData(Zelt_LoginData *data);
    void getMirrorLog(QString meetingId, int lines);
    void getS3Token();
    void getServiceLog(int lines);
    void sendMeetingCommand(QString meetingId, QString strCmd, QStringList lstParams);
    void getServiceStatus();
    void getServiceVersionInformation();
    void createAssetBundle(Zelt_Service_API::ZeltAssetBundle bundle);
    void deleteAssetBundle(QString id);
    void getAssetBundle(QString id);
    void getAssetBundles();
    void getBanlist();
    void addBanlistEntry(Zelt_Service_API::ZeltBanlistEntry entry);
    void deleteBanlistEntry(int id);

private slots:
    void serviceMeetingsCallBack(QList<Zelt_Service_API::ZeltMeetingInfo> list);
    void onServiceMeetingsFull(Zelt_Service_API::ZeltHttpRequestWorker *worker,
                               QList<Zelt_Service_API::ZeltMeetingInfo> list);
    void serviceMeetingsECallBack(QList<Zelt_Service_API::ZeltMeetingInfo> list,
                                  QNetworkReply::NetworkError type, QString text);
    void onServiceVersionsE(Zelt_Service_API::ZeltVersions versions,
                            QNetworkReply::NetworkError type, QString text);
    void onServiceStatusFull(Zelt_Service_API::ZeltHttpRequestWorker *worker);
    void onServiceStatusE(QNetworkReply::NetworkError type, QString text);
    void onServiceLogfile(QString text);
    void onServiceLogfileE(QString text, QNetworkReply::NetworkError type, QString error);
    void onS3TempAccessKeyE(Zelt_Service_API::ZeltS3TempAccessKey key,
                            QNetworkReply::NetworkError type, QString text);
    void onMeetingLogfile(QString text);
    void onMeetingLogfileE(QString text, QNetworkReply::NetworkError type, QString error);
    void onMeetingCommandCallback(Zelt_Service_API::ZeltMeetingCommandResponse response);
    void onMeetingCommandCallbackE(Zelt_Service_API::ZeltMeetingCommandResponse response,
                                   QNetworkReply::NetworkError type, QString text);
    void onAuthRefresh(Zelt_AuthService_API::ZeltAuth auth);
    void onAuthRefreshError(Zelt_AuthService_API::ZeltAuth auth, QNetworkReply::NetworkError type,
                            QString text);
    void onAssetBundlePostE(QString summary, QNetworkReply::NetworkError type, QString text);
    void onAssetBundleDeleteE(QString summary, QNetworkReply::NetworkError type, QString text);
    void onAssetBundleGetE(QList<Zelt_Service_API::ZeltAssetBundle> summary,
                           QNetworkReply::NetworkError type, QString text);
    void onBanlistPostE(qint32 summary, QNetworkReply::NetworkError type, QString text);
    void onBanlistDeleteE(qint32 summary, QNetworkReply::NetworkError type, QString text);
    void onBanlistGetE(QList<Zelt_Service_API::ZeltBanlistEntry> summary,
                       QNetworkReply::NetworkError type, QString text);

private:
    void createClients();
    template <typename Client>
    Client *newClient(const QString &host, const QString &path, const ZeltHeaderList &headers);
    void createServiceClient();
    void createAssetBundleClient();
    void createAuthClient();
    void refreshTokenIfDue();
    void startRefresh();
    // Runs the renewals waiting for the refresh that just ended.
    void settleRenewals(bool renewed);
    void applyAccessToken(const QString &token);
    // Logs a failed request and shows a critical box without parent with the service's error
    // "message" in textTemplate's %1; announce, when given, carries the error before the box.
    void reportFailure(
        const char *function, QNetworkReply::NetworkError type, const QString &text,
        const QString &title, const QString &textTemplate,
        void (Zelt_MeetingsInfoThread::*announce)(Zelt_AuthService_API::ZeltError) = nullptr);
    void emitLog(void (Zelt_MeetingsInfoThread::*signal)(QString), const QString &text);

    QString authServiceHost;
    QString authServicePath;
    QString serviceHost;
    QString servicePath;
    Zelt_LoginData *loginData = nullptr;
    Zelt_Service_API::ZeltMeetingServiceApi *serviceApi = nullptr;
    Zelt_Service_API::ZeltAssetBundleApi *assetBundleApi = nullptr;
    Zelt_AuthService_API::ZeltAuthApi *authApi = nullptr;
    QString accessToken;
    QMap<QString, Zelt_Service_API::ZeltMeetingInfo> liveInfo;
    bool refreshPending = false;
    QList<QPair<QPointer<QObject>, std::function<void(bool)>>> waitingRenewals;
    // The poll's own requests: a poll waits until the previous one has been answered.
    QPointer<Zelt_Common_API::ZeltHttpRequestWorker> pollListing;
    QPointer<Zelt_Common_API::ZeltHttpRequestWorker> pollStatus;
    int refreshFailures = 0;
    int listFailures = 0;
    QString lastLog;
    std::function<QDateTime()> pollClock = &QDateTime::currentDateTime;
};
