#pragma once

#include "InactivityFreeze.h"
#include "WindowStateStore.h"
#include "Zelt_LoginData.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_S3.h"
#include "service/ZeltMeetingInfo.h"
#include "service/ZeltMeetingServiceApi.h"
#include "service/ZeltS3TempAccessKey.h"
#include "service/ZeltVersions.h"

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <memory>

class AttendanceMonitor;
class ComponentsController;
class ConsoleConfig;
class QSslError;
class Zelt_AssetBundles;
class Zelt_ConsoleUpdater;
class Zelt_Meetings;
class Zelt_NextCloud;
class Zelt_StorageAccess;
namespace Ui {
class Zelt_ServerAppClass;
}

// The console's main window: owns the configuration, the session and the panels, shows the
// connection state and the running transfer, and keeps its geometry between runs.
class Zelt_ServerApp : public QMainWindow
{
    Q_OBJECT

public:
    explicit Zelt_ServerApp(const QStringList &arguments, QWidget *parent = nullptr);
    ~Zelt_ServerApp() override;

    const ConsoleConfig &consoleConfig() const { return *config; }
    const Zelt_LoginData &session() const { return loginData; }
    Zelt_MeetingsInfoThread *liveInfo() const { return infoThread; }
    Zelt_Meetings *meetings() const { return meetingsPanel; }
    ComponentsController *components() const { return componentsController; }
    bool isStatusTimerActive() const { return statusTimer->isActive(); }
    bool isInactive() const { return inactivity->isFrozen(); }

    // Where the window keeps its state between runs.
    static constexpr const char *SettingsOrganisation = WindowStateStore::Organisation;
    static constexpr const char *SettingsApplication = WindowStateStore::Application;

public slots:
    void initConsole();
    void onServiceStatus(bool isRunning);
    void onServiceVersion(Zelt_MeetingsInfoThread::_serviceVersion ver);
    void onServiceVersions(Zelt_Service_API::ZeltVersions versions);
    QString saveFileName(const QUrl &url);
    bool saveToDisk(const QString &filename, QIODevice *data);
    bool isHttpRedirect(QNetworkReply *reply);
    void sslErrors(const QList<QSslError> &errors);
    void onDownloadFinished(QNetworkReply *reply);
    void onServiceUpdate();
    void onServiceUpdateE(QNetworkReply::NetworkError error_type, QString error_str);
    void onExit();
    void onUserInactive();
    void onUserActive();
    void onStopUpdate();
    void onSessionExpired();
    void onMeetingStatusTimer();
    void onMeetingUpdate(int id);
    void onMeetingChanged();
    void onMeetingConfigChanged(Zelt_Service_API::ZeltMeetingInfo info);
    void onBanFile();
    void setInactivityOn();
    void setInactivityOff();
    void setS3Token(Zelt_Service_API::ZeltS3TempAccessKey token);
    void setServiceApiToken(QString token);
    int getInactivityTime() const;

private slots:
    void on_actionChangePassword_triggered();
    void on_actionQuit_triggered();
    void onTransferProgress(int mode, QString bucket, QString object, qlonglong size,
                            qlonglong progress, int bytespersecond);
    void onUpdateQueue(QList<Zelt_S3::fileEntry> files);
    void on_dckProgress_visibilityChanged(bool visible);
    void on_btnQueue_clicked();
    void on_actionUpdate_triggered();
    void on_actionAbout_triggered();
    void on_tabBrowser_currentChanged(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void takeTabsFromForm();
    void connectServiceApi();
    void connectComponents();
    // Runs the login dialog until it is accepted; false when the user cancelled it.
    bool runLogin(const QString &lockedUserName);
    void takeOverSession();
    // Gives the session record to the live info object, the meetings panel and the S3 browser.
    void handOverSession();
    // Starts the session the first time, later only refreshes the components panel.
    void initConsoleOrRefresh();
    void refreshComponentsPanel();

    std::unique_ptr<Ui::Zelt_ServerAppClass> ui;
    ConsoleConfig *config = nullptr;
    Zelt_MeetingsInfoThread *infoThread = nullptr;
    Zelt_Meetings *meetingsPanel = nullptr;
    AttendanceMonitor *attendance = nullptr;
    Zelt_LoginData loginData;
    bool initDone = false;
    bool bundlesChecked = false;
    bool serviceRunning = false;
    QMenu userMenu;
    QTimer *statusTimer = nullptr;
    Zelt_Service_API::ZeltMeetingServiceApi *serviceApi = nullptr;
    QPointer<Zelt_Service_API::ZeltHttpRequestWorker> meetingInfoRequest;
    Zelt_NextCloud *nextCloudBrowser = nullptr;
    Zelt_S3 *s3Browser = nullptr;
    Zelt_AssetBundles *assetBundlesPanel = nullptr;
    Zelt_ConsoleUpdater *updater = nullptr;
    ComponentsController *componentsController = nullptr;
    std::unique_ptr<InactivityFreeze> inactivity;
    std::unique_ptr<Zelt_StorageAccess> storage;
    int storageMode = Zelt_LoginData::NoStorage;
};
