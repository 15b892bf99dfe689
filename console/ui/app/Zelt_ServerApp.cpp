#include "Zelt_ServerApp.h"

#include "AttendanceMonitor.h"
#include "ComponentsController.h"
#include "ComponentsExchange.h"
#include "ConsoleConfig.h"
#include "InactivityFreeze.h"
#include "InstallerDownload.h"
#include "LogCategories.h"
#include "NetworkSettings.h"
#include "ProgramExit.h"
#include "Prompt.h"
#include "VersionNumber.h"
#include "WindowStateStore.h"
#include "ZeltClientFactory.h"
#include "Zelt_AssetBundles.h"
#include "Zelt_ChangePasswordDialog.h"
#include "Zelt_ConsoleUpdater.h"
#include "Zelt_Login.h"
#include "Zelt_Meetings.h"
#include "Zelt_NextCloud.h"
#include "Zelt_StorageAccess.h"
#include "Zelt_VersionDialog.h"
#include "ui_Zelt_ServerApp.h"

#include <QCloseEvent>
#include <QStandardPaths>

using namespace Zelt_Service_API;

namespace {
const QString GreenLamp = QStringLiteral(":/Zelt_ServerApp/green.svg");
constexpr int PollSeconds = 10;
const QString RedLamp = QStringLiteral(":/Zelt_ServerApp/red.svg");
} // namespace

Zelt_ServerApp::Zelt_ServerApp(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Zelt_ServerAppClass>())
{
    loginData.clear();
    ui->setupUi(this);
    ui->dckProgress->hide();
    ui->statusBar->hide();

    config = new ConsoleConfig(arguments);
    applyNetworkSettings(*config);
    if (const QStringList problems = config->problems(); !problems.isEmpty())
        Prompt::warning(this, tr("Configuration problem"),
                        tr("Configuration file: %1\n\n%2")
                            .arg(config->iniFile, problems.join(QLatin1Char('\n'))));

    const VersionNumber version = ConsoleVersion::current();
    setWindowTitle(
        QStringLiteral("%1 %2.%3").arg(windowTitle()).arg(version.major).arg(version.minor));
    ui->btnUserMenu->setText(version.dotted());
    // Here, not after the service's first answer: Quit must work while it never answers.
    userMenu.addAction(ui->actionChangePassword);
    userMenu.addAction(ui->actionUpdate);
    userMenu.addAction(ui->actionAbout);
    userMenu.addAction(ui->actionQuit);
    ui->btnUserMenu->setMenu(&userMenu);
    // A password can be changed once there is an account to change it for.
    ui->actionChangePassword->setEnabled(false);

    infoThread = new Zelt_MeetingsInfoThread(this, config);
    connect(infoThread, &Zelt_MeetingsInfoThread::exitApp, this, &Zelt_ServerApp::onExit);
    connect(infoThread, &Zelt_MeetingsInfoThread::stopThread, this, &Zelt_ServerApp::onStopUpdate);
    connect(infoThread, &Zelt_MeetingsInfoThread::sessionExpired, this,
            &Zelt_ServerApp::onSessionExpired);
    connect(infoThread, &Zelt_MeetingsInfoThread::serviceStatus, this,
            &Zelt_ServerApp::onServiceStatus);
    connect(infoThread, &Zelt_MeetingsInfoThread::serviceVersion, this,
            &Zelt_ServerApp::onServiceVersion);
    connect(infoThread, &Zelt_MeetingsInfoThread::serviceVersions, this,
            &Zelt_ServerApp::onServiceVersions);
    connect(infoThread, &Zelt_MeetingsInfoThread::tokenChanged, this,
            &Zelt_ServerApp::setServiceApiToken);
    connect(infoThread, &Zelt_MeetingsInfoThread::s3TempAccess, this, &Zelt_ServerApp::setS3Token);

    meetingsPanel = new Zelt_Meetings(ui->centralWidget, config, infoThread, nullptr);
    ui->splitMain->insertWidget(0, meetingsPanel);
    // The meetings and the storage share the height and the storage its width, as the user
    // leaves them (kept with the window state).
    for (QSplitter *splitter : {ui->splitMain, ui->widgetFileArea}) {
        splitter->setStretchFactor(0, 1);
        splitter->setStretchFactor(1, 1);
    }
    connect(meetingsPanel, &Zelt_Meetings::exitApp, this, &Zelt_ServerApp::onExit);
    connect(meetingsPanel, &Zelt_Meetings::meetingUpdate, this, &Zelt_ServerApp::onMeetingUpdate);
    connect(meetingsPanel, &Zelt_Meetings::meetingChanged, this, &Zelt_ServerApp::onMeetingChanged);
    connect(meetingsPanel, &Zelt_Meetings::meetingConfigChanged, this,
            &Zelt_ServerApp::onMeetingConfigChanged);
    attendance =
        new AttendanceMonitor(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                              PollSeconds, config->attendanceDays, this);
    connect(infoThread, &Zelt_MeetingsInfoThread::meetingsPolled, attendance,
            &AttendanceMonitor::record);
    meetingsPanel->setAttendance(attendance);

    takeTabsFromForm();

    if (s3Browser) {
        connect(ui->tblProgress, &Zelt_QueueTableWidget::deleteSlot, s3Browser,
                &Zelt_S3::onDeleteSlot);
        connect(ui->tblProgress, &Zelt_QueueTableWidget::retryRow, s3Browser, &Zelt_S3::retryRow);
        connect(ui->tblProgress, &Zelt_QueueTableWidget::removeRow, s3Browser, &Zelt_S3::removeRow);
    }

    WindowStateStore::restore(this, ui->dckProgress, config->getRestoreWindow());

    serviceApi = newZeltClient<ZeltMeetingServiceApi>(config->serviceHost, config->servicePath,
                                                      ZeltDefaultHeaders::AcceptJson, this);
    serviceApi->setTokenRenewal(infoThread);
    connectServiceApi();
    connectComponents();

    updater = new Zelt_ConsoleUpdater(this);
    connect(updater, &Zelt_ConsoleUpdater::serviceAnswered, this,
            [this] { serviceRunning = true; });
    connect(updater, &Zelt_ConsoleUpdater::startContinues, this,
            &Zelt_ServerApp::initConsoleOrRefresh);
    connect(infoThread, &Zelt_MeetingsInfoThread::serviceVersionsFailed, updater,
            &Zelt_ConsoleUpdater::onServiceVersionsFailed);

    statusTimer = new QTimer(this);
    statusTimer->setInterval(PollSeconds * 1000);
    connect(statusTimer, &QTimer::timeout, this, &Zelt_ServerApp::onMeetingStatusTimer);
    inactivity = std::make_unique<InactivityFreeze>(this, statusTimer);

    infoThread->getServiceVersionInformation();

    ui->lblSvcAddress->setText(config->serviceHost);
    onTransferProgress(-1, QString(), QString(), 0, 0, 0);
}

Zelt_ServerApp::~Zelt_ServerApp()
{
    delete config;
    meetingsPanel->deleteLater();
    infoThread->deleteLater();
    statusTimer->deleteLater();
}

void Zelt_ServerApp::takeTabsFromForm()
{
    assetBundlesPanel = qobject_cast<Zelt_AssetBundles *>(ui->tabBrowser->widget(2));
    nextCloudBrowser = qobject_cast<Zelt_NextCloud *>(ui->tabBrowser->widget(1));
    s3Browser = qobject_cast<Zelt_S3 *>(ui->tabBrowser->widget(0));
    if (!assetBundlesPanel || !nextCloudBrowser || !s3Browser) {
        ProgramExit::now(-1);
        return;
    }
    assetBundlesPanel->setEnabled(false);
    storage = std::make_unique<Zelt_StorageAccess>(this, ui->tabBrowser, s3Browser,
                                                   nextCloudBrowser, infoThread);

    connect(assetBundlesPanel, &Zelt_AssetBundles::itemClicked, this,
            &Zelt_ServerApp::refreshComponentsPanel);
    connect(nextCloudBrowser, &Zelt_NextCloud::itemClicked, this,
            &Zelt_ServerApp::refreshComponentsPanel);
    connect(s3Browser, &Zelt_S3::itemClicked, this, &Zelt_ServerApp::refreshComponentsPanel);
    connect(s3Browser, &Zelt_S3::startUploadDownload, this, &Zelt_ServerApp::setInactivityOff);
    connect(s3Browser, &Zelt_S3::endUploadDownload, this, &Zelt_ServerApp::setInactivityOn);
    connect(s3Browser, &Zelt_S3::betweenUploadDownloads, this,
            &Zelt_ServerApp::onMeetingStatusTimer);
    connect(s3Browser, &Zelt_S3::transferProgress, this, &Zelt_ServerApp::onTransferProgress);
    connect(s3Browser, &Zelt_S3::transferRetry, ui->statusBar, &Zelt_TransferStatusBar::showRetry);
    connect(s3Browser, &Zelt_S3::updateQueue, this, &Zelt_ServerApp::onUpdateQueue);
}

void Zelt_ServerApp::connectServiceApi()
{
    connect(serviceApi, &ZeltMeetingServiceApi::serviceUpdateSignal, this,
            &Zelt_ServerApp::onServiceUpdate);
    connect(serviceApi, &ZeltMeetingServiceApi::serviceUpdateSignalE, this,
            &Zelt_ServerApp::onServiceUpdateE);
}

void Zelt_ServerApp::connectComponents()
{
    Zelt_Components *panel = ui->grpAssets;
    ComponentsController::Parts parts;
    parts.window = this;
    parts.panel = panel;
    parts.fileArea = ui->widgetFileArea;
    parts.tabs = ui->tabBrowser;
    parts.meetings = meetingsPanel;
    parts.s3Browser = s3Browser;
    parts.nextCloudBrowser = nextCloudBrowser;
    parts.bundlesPanel = assetBundlesPanel;
    parts.infoThread = infoThread;
    parts.serviceApi = serviceApi;
    parts.session = &loginData;
    parts.serviceRunning = [this] { return serviceRunning; };
    auto *components = componentsController = new ComponentsController(parts, this);

    panel->setFileIconRule([this](QTableWidgetItem *item, const QString &name) {
        s3Browser->SetIconFromFilename(item, name);
    });
    connect(panel, &Zelt_Components::addClicked, components, &ComponentsController::addSelection);
    connect(panel, &Zelt_Components::customUrlClicked, components,
            &ComponentsController::addCustomUrl);
    connect(panel, &Zelt_Components::propertiesReleased, components,
            &ComponentsController::showProperties);
    connect(panel, &Zelt_Components::rowDoubleClicked, components,
            &ComponentsController::showProperties);
    connect(panel, &Zelt_Components::removeClicked, components,
            &ComponentsController::removeSelected);
    connect(panel, &Zelt_Components::removeAllClicked, components,
            &ComponentsController::removeAll);
    connect(panel, &Zelt_Components::selectionChanged, components,
            &ComponentsController::refreshButtons);
    connect(s3Browser, &Zelt_S3::itemDoubleClicked, components,
            &ComponentsController::addSelection);
    connect(nextCloudBrowser, &Zelt_NextCloud::itemDoubleClicked, components,
            &ComponentsController::addSelection);
    connect(assetBundlesPanel, &Zelt_AssetBundles::itemDoubleClicked, components,
            &ComponentsController::addSelection);
    connect(s3Browser, &Zelt_S3::banFile, this, &Zelt_ServerApp::onBanFile);
    auto *exchange = new ComponentsExchange(serviceApi, this);
    connect(panel, &Zelt_Components::exportRequested, exchange,
            [exchange, components] { exchange->exportMeeting(components->meetingInfo()); });
    connect(panel, &Zelt_Components::importRequested, exchange,
            [exchange, components] { exchange->importInto(components->meetingInfo()); });

    connect(serviceApi, &ZeltMeetingServiceApi::meetingInfoSignal, components,
            &ComponentsController::onMeetingInfo);
    connect(serviceApi, &ZeltMeetingServiceApi::meetingInfoSignalE, components,
            &ComponentsController::onMeetingInfoE);
    connect(serviceApi, &ZeltMeetingServiceApi::meetingInfoUpdateSignal, components,
            &ComponentsController::onMeetingInfoUpdated);
    connect(serviceApi, &ZeltMeetingServiceApi::meetingInfoUpdateSignalE, components,
            &ComponentsController::onMeetingInfoUpdateE);
    connect(serviceApi, &ZeltMeetingServiceApi::assetAddSignal, components,
            &ComponentsController::onAssetAdd);
    connect(serviceApi, &ZeltMeetingServiceApi::assetAddSignalE, components,
            &ComponentsController::onAssetAddE);
    connect(serviceApi, &ZeltMeetingServiceApi::assetDeleteSignal, components,
            &ComponentsController::onAssetDelete);
}

void Zelt_ServerApp::closeEvent(QCloseEvent *event)
{
    WindowStateStore::save(this, ui->dckProgress);
    event->accept();
}

int Zelt_ServerApp::getInactivityTime() const
{
    return config->getInactivityTime();
}

void Zelt_ServerApp::initConsoleOrRefresh()
{
    if (!initDone)
        initConsole();
    else
        refreshComponentsPanel();
}

void Zelt_ServerApp::initConsole()
{
    if (initDone)
        return;
    initDone = true;

    ui->statusBar->clearProgress();
    ui->grpAssets->setUpColumns();

    if (!runLogin(QString()))
        return;
    takeOverSession();

    meetingsPanel->requestMeetings();

    onMeetingStatusTimer();
    statusTimer->start();
    ui->statusBar->show();
    refreshComponentsPanel();
}

bool Zelt_ServerApp::runLogin(const QString &lockedUserName)
{
    Zelt_Login login(this, config, lockedUserName);
    if (login.exec() != QDialog::Accepted) {
        ProgramExit::now(0);
        return false;
    }
    // The dialog accepts only once the groups reply has been evaluated.
    loginData = login.loginData();
    return true;
}

void Zelt_ServerApp::takeOverSession()
{
    if (loginData.loggedIn && !loginData.isPresenter()) {
        Prompt::critical(this, tr("Unsufficient User Rights"),
                         tr("Only Presenters can use the Console Application. Ask your "
                            "administrator for Presenter rights."));
        ProgramExit::now(0);
        return;
    }
    ui->grpAssets->setAdministrator(loginData.isAdministrator());
    ui->btnUserMenu->setText(loginData.userId);
    ui->actionChangePassword->setEnabled(true);

    handOverSession();
    setServiceApiToken(loginData.accessToken);
    storageMode = loginData.storageMode;
    storage->setUp(loginData);
}

void Zelt_ServerApp::setS3Token(ZeltS3TempAccessKey token)
{
    storage->takeTemporaryCredentials(loginData, token);
    storageMode = loginData.storageMode;
}

void Zelt_ServerApp::setServiceApiToken(QString token)
{
    serviceApi->setBearerToken(token);
}

void Zelt_ServerApp::onMeetingStatusTimer()
{
    const auto meeting = meetingsPanel->currentMeeting();
    // One question at a time: a stalled service must not collect a request per poll.
    if (meeting.isMeetingIdSet() && meeting.isMeetingIdValid() &&
        !Zelt_Common_API::isOutstanding(meetingInfoRequest))
        meetingInfoRequest = serviceApi->meetingInfo(meeting.meetingId());
    infoThread->getMeetingsInfo();
    storage->renewIfDue(loginData);
}

void Zelt_ServerApp::onSessionExpired()
{
    statusTimer->stop();
    loginData.loggedIn = false;
    handOverSession();

    Prompt::information(this, tr("Session expired"),
                        tr("Your session has expired. Please perform a new Login."));
    if (!runLogin(loginData.userId))
        return;

    handOverSession();
    storageMode = loginData.storageMode;
    statusTimer->start();
    s3Browser->setEnabled(true);
    infoThread->getS3Token();
}

void Zelt_ServerApp::handOverSession()
{
    if (loginData.loggedIn)
        attendance->setOwner(loginData.userId, config->serviceHost + config->servicePath);
    infoThread->setLoginData(&loginData);
    s3Browser->setConfig(&loginData);
    meetingsPanel->setLoginData(&loginData);
}

void Zelt_ServerApp::onMeetingUpdate(int)
{
    // The service reloads its meetings; which one changed it does not need to know.
    if (serviceRunning)
        serviceApi->serviceUpdate();
}

void Zelt_ServerApp::onMeetingChanged()
{
    componentsController->loadMeeting();
}

void Zelt_ServerApp::onMeetingConfigChanged(ZeltMeetingInfo info)
{
    componentsController->writeMeetingInfo(info);
}

void Zelt_ServerApp::onBanFile()
{
    componentsController->banSelectedFiles();
}

void Zelt_ServerApp::on_tabBrowser_currentChanged(int)
{
    // The form reports its first tab before the components exist.
    if (componentsController)
        componentsController->refreshButtons();
}

void Zelt_ServerApp::onServiceStatus(bool isRunning)
{
    serviceRunning = isRunning;
    refreshComponentsPanel();
}

void Zelt_ServerApp::onServiceVersion(Zelt_MeetingsInfoThread::_serviceVersion ver)
{
    initConsoleOrRefresh();
    if (bundlesChecked || !loginData.loggedIn)
        return;
    bundlesChecked = true;
    if (serviceSupportsAssetBundles(ver)) {
        assetBundlesPanel->setEnabled(true);
        assetBundlesPanel->setup(s3Browser, infoThread, &loginData);
    } else {
        assetBundlesPanel->setEnabled(false);
        storage = std::make_unique<Zelt_StorageAccess>(this, ui->tabBrowser, s3Browser,
                                                       nextCloudBrowser, infoThread);
        // Found by identity: which index it has depends on the storage tabs still shown.
        ui->tabBrowser->removeTab(ui->tabBrowser->indexOf(assetBundlesPanel));
    }
}

void Zelt_ServerApp::on_actionUpdate_triggered()
{
    updater->expectRequestedCheck();
    infoThread->getServiceVersionInformation();
}

void Zelt_ServerApp::on_actionChangePassword_triggered()
{
    Zelt_ChangePasswordDialog dialog(this, config, loginData);
    dialog.exec();
    // Also after Cancel or a failure: the record is unchanged then and its token is sent again.
    loginData = dialog.loginData();
    handOverSession();
    setServiceApiToken(loginData.accessToken);
    storageMode = loginData.storageMode;
}

void Zelt_ServerApp::on_actionAbout_triggered()
{
    Zelt_VersionDialog dialog(this);
    dialog.exec();
}

void Zelt_ServerApp::onServiceVersions(ZeltVersions versions)
{
    updater->onServiceVersions(versions);
}

void Zelt_ServerApp::onDownloadFinished(QNetworkReply *reply)
{
    updater->onDownloadFinished(reply);
}

void Zelt_ServerApp::sslErrors(const QList<QSslError> &errors)
{
    updater->sslErrors(errors);
}

QString Zelt_ServerApp::saveFileName(const QUrl &url)
{
    return InstallerDownload::saveFileName(url);
}

bool Zelt_ServerApp::saveToDisk(const QString &filename, QIODevice *data)
{
    return InstallerDownload::saveToDisk(filename, data);
}

bool Zelt_ServerApp::isHttpRedirect(QNetworkReply *reply)
{
    return InstallerDownload::isHttpRedirect(reply);
}

void Zelt_ServerApp::onServiceUpdate()
{
    qCDebug(lcSrv) << "Service Updated";
}

void Zelt_ServerApp::onServiceUpdateE(QNetworkReply::NetworkError, QString)
{
    qCDebug(lcSrv) << "Error Updating Service";
}

void Zelt_ServerApp::onExit()
{
    ProgramExit::now(0);
}

void Zelt_ServerApp::on_actionQuit_triggered()
{
    ProgramExit::now(0);
}

void Zelt_ServerApp::onStopUpdate()
{
    statusTimer->stop();
}

void Zelt_ServerApp::onUserInactive()
{
    inactivity->userInactive(loginData.loggedIn);
}

void Zelt_ServerApp::onUserActive()
{
    inactivity->userActive();
}

void Zelt_ServerApp::setInactivityOff()
{
    inactivity->setEnabled(false);
}

void Zelt_ServerApp::setInactivityOn()
{
    inactivity->setEnabled(true);
}

void Zelt_ServerApp::refreshComponentsPanel()
{
    ui->icoConSvc->setPixmap(QPixmap(serviceRunning ? GreenLamp : RedLamp));
    meetingsPanel->setEnabled(serviceRunning && loginData.loggedIn);

    componentsController->refreshButtons();
}

void Zelt_ServerApp::onTransferProgress(int mode, QString, QString object, qlonglong size,
                                        qlonglong progress, int bytespersecond)
{
    ui->statusBar->showTransfer(mode, object, size, progress, bytespersecond);
}

void Zelt_ServerApp::onUpdateQueue(QList<Zelt_S3::fileEntry> files)
{
    ui->tblProgress->showEntries(files);
}

void Zelt_ServerApp::on_dckProgress_visibilityChanged(bool visible)
{
    ui->btnQueue->setChecked(visible);
}

void Zelt_ServerApp::on_btnQueue_clicked()
{
    ui->dckProgress->setVisible(ui->btnQueue->isChecked());
}
