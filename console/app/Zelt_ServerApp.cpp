#include "Zelt_ServerApp.h"

#include "ConsoleConfig.h"
#include "ProgramExit.h"
#include "Prompt.h"
#include "ServiceAddress.h"
#include "SizeText.h"
#include "Zelt_AssetBundles.h"
#include "Zelt_Login.h"
#include "Zelt_Meetings.h"
#include "Zelt_NextCloud.h"
#include "ui_Zelt_ServerApp.h"

#include "ProcessLauncher.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>
#include <QSslError>
#include <QStatusBar>

using namespace Zelt_Service_API;

namespace {
// The window state lives in the native settings store, group "MainWindow".
std::unique_ptr<QSettings> windowStateSettings()
{
    auto settings =
        std::make_unique<QSettings>(QString::fromLatin1(Zelt_ServerApp::SettingsOrganisation),
                                    QString::fromLatin1(Zelt_ServerApp::SettingsApplication));
    settings->beginGroup(QStringLiteral("MainWindow"));
    return settings;
}

const QString GreenLamp = QStringLiteral(":/Zelt_ServerApp/green.svg");
const QString RedLamp = QStringLiteral(":/Zelt_ServerApp/red.svg");
const QString PresenterRole = QStringLiteral("Zelt_Presenter");
} // namespace

Zelt_ServerApp::Zelt_ServerApp(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Zelt_ServerAppClass>())
{
    loginData.clear();
    ui->setupUi(this);
    createStatusBarWidgets();
    ui->dckProgress->hide();
    statusBar()->hide();

    config = new ConsoleConfig(arguments);

    const VersionNumber version = ConsoleVersion::current();
    setWindowTitle(
        QStringLiteral("%1 %2.%3").arg(windowTitle()).arg(version.major).arg(version.minor));
    ui->btnUserMenu->setText(version.dotted());

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
    ui->verticalLayoutCentralWidget->insertWidget(1, meetingsPanel);
    connect(meetingsPanel, &Zelt_Meetings::exitApp, this, &Zelt_ServerApp::onExit);

    takeTabsFromForm();

    ui->btnProperties->hide();
    ui->btnExport->hide();
    ui->btnImport->hide();
    if (s3Browser)
        connect(ui->tblProgress, &Zelt_QueueTableWidget::deleteSlot, s3Browser,
                &Zelt_S3::onDeleteSlot);

    restoreWindowState();

    serviceApi = new ZeltMeetingServiceApi(
        ServiceAddress::fromConfig(config->serviceHost, config->servicePath), 0);
    serviceApi->addHeaders(QStringLiteral("accept"), QStringLiteral("application/json"));
    connectServiceApi();

    statusTimer = new QTimer(this);
    statusTimer->setInterval(10000);
    connect(statusTimer, &QTimer::timeout, this, &Zelt_ServerApp::onMeetingStatusTimer);

    infoThread->getServiceVersionInformation();

    ui->lblSvcAddress->setText(config->serviceHost);
    onTransferProgress(-1, QString(), QString(), 0, 0, 0);
}

Zelt_ServerApp::~Zelt_ServerApp()
{
    delete config;
    delete serviceApi;
    meetingsPanel->deleteLater();
    infoThread->deleteLater();
    statusTimer->deleteLater();
}

void Zelt_ServerApp::createStatusBarWidgets()
{
    lblTransferKind = new QLabel(this);
    lblTransferObject = new QLabel(this);
    transferProgressBar = new QProgressBar(this);
    lblTransferCompleted = new QLabel(this);
    lblTransferSize = new QLabel(this);
    lblTransferSpeed = new QLabel(this);

    lblTransferKind->setObjectName(QStringLiteral("lblTransferKind"));
    lblTransferObject->setObjectName(QStringLiteral("lblTransferObject"));
    transferProgressBar->setObjectName(QStringLiteral("transferProgressBar"));
    lblTransferCompleted->setObjectName(QStringLiteral("lblTransferCompleted"));
    lblTransferSize->setObjectName(QStringLiteral("lblTransferSize"));
    lblTransferSpeed->setObjectName(QStringLiteral("lblTransferSpeed"));

    transferProgressBar->setFormat(QStringLiteral("%p%"));
    transferProgressBar->setMinimumWidth(400);
    transferProgressBar->setMaximumWidth(600);
    transferProgressBar->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    transferProgressBar->setStyleSheet(QStringLiteral("border: none;"));
    transferProgressBar->setAlignment(Qt::AlignCenter);

    statusBar()->addPermanentWidget(lblTransferKind, 0);
    statusBar()->addPermanentWidget(lblTransferObject, 200);
    statusBar()->addPermanentWidget(transferProgressBar, 500);
    statusBar()->addPermanentWidget(lblTransferCompleted, 50);
    statusBar()->addPermanentWidget(lblTransferSize, 50);
    statusBar()->addPermanentWidget(lblTransferSpeed, 50);
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
    connect(s3Browser, &Zelt_S3::updateQueue, this, &Zelt_ServerApp::onUpdateQueue);
}

void Zelt_ServerApp::connectServiceApi()
{
    connect(serviceApi, &ZeltMeetingServiceApi::serviceUpdateSignal, this,
            &Zelt_ServerApp::onServiceUpdate);
    connect(serviceApi, &ZeltMeetingServiceApi::serviceUpdateSignalE, this,
            &Zelt_ServerApp::onServiceUpdateE);
    connect(serviceApi, &ZeltMeetingServiceApi::meetingInfoSignal, this,
            [this](ZeltMeetingInfo info) { currentMeetingInfo = info; });
}

void Zelt_ServerApp::restoreWindowState()
{
    const auto settings = windowStateSettings();
    if (settings->contains(QStringLiteral("geometry")) && config->getRestoreWindow()) {
        restoreGeometry(settings->value(QStringLiteral("geometry")).toByteArray());
    } else {
        move(100, 50);
        resize(900, 650);
    }
    if (settings->contains(QStringLiteral("queuevisible")))
        ui->dckProgress->setVisible(settings->value(QStringLiteral("queuevisible")).toBool());
    if (settings->contains(QStringLiteral("windowState")))
        restoreState(settings->value(QStringLiteral("windowState")).toByteArray());
}

void Zelt_ServerApp::closeEvent(QCloseEvent *event)
{
    const auto settings = windowStateSettings();
    settings->setValue(QStringLiteral("geometry"), saveGeometry());
    settings->setValue(QStringLiteral("windowState"), saveState());
    settings->setValue(QStringLiteral("queuevisible"), ui->dckProgress->isVisible());
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

    userMenu.addAction(ui->actionChangePassword);
    userMenu.addAction(ui->actionUpdate);
    userMenu.addAction(ui->actionAbout);
    userMenu.addAction(ui->actionQuit);
    ui->btnUserMenu->setMenu(&userMenu);

    transferProgressBar->setRange(0, 1);
    transferProgressBar->setValue(0);

    QHeaderView *header = ui->tblAssets->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tblAssets->setColumnCount(4);
    const int width = ui->tblAssets->width();
    const double shares[] = {0.05, 0.40, 0.05, 0.50};
    for (int column = 0; column < 4; ++column)
        ui->tblAssets->setColumnWidth(column, int(width * shares[column]));

    if (!runLogin(QString()))
        return;
    takeOverSession();

    meetingsPanel->setLoginData(&loginData);
    meetingsPanel->requestMeetings();

    onMeetingStatusTimer();
    statusTimer->start();
    statusBar()->show();
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
    const bool administrator = loginData.isAdministrator();
    ui->btnProperties->setVisible(administrator);
    ui->btnExport->setVisible(administrator);
    ui->btnImport->setVisible(administrator);
    ui->btnUserMenu->setText(loginData.userId);

    infoThread->setLoginData(&loginData);
    setServiceApiToken(loginData.accessToken);
    s3Browser->setConfig(&loginData);
    setUpStorage();
}

void Zelt_ServerApp::setUpStorage()
{
    storageMode = loginData.storageMode;
    switch (storageMode) {
    case Zelt_LoginData::NextCloud:
        ui->tabBrowser->removeTab(ui->tabBrowser->indexOf(s3Browser));
        break;
    case Zelt_LoginData::MinIO:
    case Zelt_LoginData::AmazonS3: {
        ui->tabBrowser->removeTab(ui->tabBrowser->indexOf(nextCloudBrowser));
        const bool staticCredentials = !loginData.storageUser.isEmpty() &&
                                       !loginData.storagePassword.isEmpty() &&
                                       !loginData.storageAddress.isEmpty();
        if (staticCredentials)
            s3Browser->on_btnS3Refresh_clicked();
        else
            infoThread->getS3Token();
        break;
    }
    default:
        Prompt::warning(this, tr("No Storage Configuration"),
                        tr("Your Account is missing storage configuration. Please ask your "
                           "administrator to configure storage access for you."));
        break;
    }
}

void Zelt_ServerApp::setS3Token(ZeltS3TempAccessKey token)
{
    const QString arn = token.arn();
    const bool usable = token.isSet() && token.isValid() &&
                        (arn.compare(QLatin1String("S3"), Qt::CaseInsensitive) == 0 ||
                         arn.compare(QLatin1String("MINIO"), Qt::CaseInsensitive) == 0);
    if (!usable) {
        Prompt::critical(this, tr("S3 Login Data"),
                         tr("Invalid or incomplete Storage Login Data received from Service. "
                            "Storage will not be available."));
        s3Browser->setEnabled(false);
        return;
    }
    loginData.storageMode = arn.compare(QLatin1String("S3"), Qt::CaseInsensitive) == 0
                                ? Zelt_LoginData::AmazonS3
                                : Zelt_LoginData::MinIO;
    loginData.storagePassword = token.secretAccessKey();
    loginData.storageUser = token.accessKeyId();
    loginData.storageAddress = token.endpoint();
    // Administrators see the whole bucket.
    loginData.storageFolder = loginData.isAdministrator() ? QString() : token.assumedRoleId();
    loginData.storageSessionToken = token.sessionToken();
    loginData.storageBucket = token.bucket();
    loginData.storageTokenExpiry = QDateTime::fromString(token.expiration(), Qt::TextDate);

    s3Browser->setConfig(&loginData);
    storageMode = loginData.storageMode;
    s3Browser->setEnabled(true);
    s3Browser->on_btnS3Refresh_clicked();
}

void Zelt_ServerApp::setServiceApiToken(QString token)
{
    serviceApi->addHeaders(QStringLiteral("Authorization"), QStringLiteral("Bearer ") + token);
}

void Zelt_ServerApp::renewStorageCredentialsIfDue()
{
    // Static credentials from the groups carry no session token and never expire.
    if (loginData.storageSessionToken.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    qDebug() << "S3 Token valid: " << now.secsTo(loginData.storageTokenExpiry);
    if (loginData.storageCredentialsDue(now))
        infoThread->getS3Token();
}

void Zelt_ServerApp::onMeetingStatusTimer()
{
    const auto meeting = meetingsPanel->currentMeeting();
    if (meeting.isMeetingIdSet() && meeting.isMeetingIdValid())
        serviceApi->meetingInfo(meeting.meetingId());
    infoThread->getMeetingsInfo();
    renewStorageCredentialsIfDue();
}

void Zelt_ServerApp::onSessionExpired()
{
    statusTimer->stop();
    loginData.loggedIn = false;
    infoThread->setLoginData(&loginData);
    s3Browser->setConfig(&loginData);
    meetingsPanel->setLoginData(&loginData);

    Prompt::information(this, tr("Session expired"),
                        tr("Your session has expired. Please perform a new Login."));
    if (!runLogin(loginData.userId))
        return;

    infoThread->setLoginData(&loginData);
    s3Browser->setConfig(&loginData);
    meetingsPanel->setLoginData(&loginData);
    storageMode = loginData.storageMode;
    statusTimer->start();
    s3Browser->setEnabled(true);
    infoThread->getS3Token();
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
        // Found by identity: which index it has depends on the storage tabs still shown.
        ui->tabBrowser->removeTab(ui->tabBrowser->indexOf(assetBundlesPanel));
    }
}

void Zelt_ServerApp::on_actionUpdate_triggered()
{
    updateRequested = true;
    infoThread->getServiceVersionInformation();
}

void Zelt_ServerApp::onServiceVersions(ZeltVersions versions)
{
    const ZeltVersion console = versions.console();
    if (console.version().isEmpty() || console.updateUrl().isEmpty()) {
        initConsoleOrRefresh();
        return;
    }
    const QList<qint32> parts = console.version();
    const VersionNumber published{parts.value(0), parts.value(1), parts.value(2)};
    const VersionNumber local = ConsoleVersion::current();
    if (local < published) {
        offerUpdate(published, console.updateUrl());
        return;
    }
    if (updateRequested)
        Prompt::information(
            this, tr("Up to date"),
            tr("You already have the newest Version (%1) installed.").arg(local.dotted()));
    updateRequested = false;
    serviceRunning = true;
    initConsoleOrRefresh();
}

void Zelt_ServerApp::offerUpdate(const VersionNumber &published, const QString &updateUrl)
{
    const auto answer = Prompt::question(
        this, tr("New Console Version available"),
        tr("A new Vorel Console Version (%1.%2.%3) is available. Do you want to update now?")
            .arg(published.major)
            .arg(published.minor)
            .arg(published.patch),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        updateRequested = false;
        serviceRunning = true;
        initConsoleOrRefresh();
        return;
    }

    downloadProgress = new QProgressDialog(tr("Downloading Update"), QString(), 0, 0);
    downloadProgress->setWindowModality(Qt::ApplicationModal);
    downloadProgress->setWindowFlags(downloadProgress->windowFlags() & ~Qt::WindowCloseButtonHint);
    downloadProgress->show();
    QCoreApplication::processEvents();

    if (!downloadManager) {
        downloadManager = new QNetworkAccessManager(this);
        connect(downloadManager, &QNetworkAccessManager::finished, this,
                &Zelt_ServerApp::onDownloadFinished);
    }
    QNetworkRequest request{QUrl(updateUrl)};
    // A redirect is reported, not followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = downloadManager->get(request);
    connect(reply, &QNetworkReply::sslErrors, this, &Zelt_ServerApp::sslErrors);
}

void Zelt_ServerApp::onDownloadFinished(QNetworkReply *reply)
{
    bool started = false;
    if (reply->error() != QNetworkReply::NoError)
        qDebug() << "Update download failed:" << reply->errorString();
    else if (isHttpRedirect(reply))
        fputs("Request was redirected.\n", stderr);
    else
        started = startInstaller(reply);

    reply->deleteLater();
    delete downloadProgress;
    downloadProgress = nullptr;
    if (started) {
        ProgramExit::now(0);
        return;
    }
    Prompt::warning(this, tr("Update failed"),
                    tr("Update download process failed. Please try again later."));
    updateRequested = false;
    initConsoleOrRefresh();
}

bool Zelt_ServerApp::startInstaller(QNetworkReply *reply)
{
    // Qt answers an empty path when the temporary folder does not exist; never fall back to "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty()) {
        fputs("No temporary folder to save the update in.\n", stderr);
        return false;
    }
    const QString target = folder + QLatin1Char('/') + saveFileName(reply->url());
    if (!saveToDisk(target, reply))
        return false;
    // The installer must be runnable where file permissions decide that.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner);
    return ProcessLauncher::current().startDetached(target, {});
}

QString Zelt_ServerApp::saveFileName(const QUrl &url)
{
    const QString name = QFileInfo(url.path()).fileName();
    return name.isEmpty() ? QStringLiteral("download") : name;
}

bool Zelt_ServerApp::saveToDisk(const QString &filename, QIODevice *data)
{
    QFile file(filename);
    if (!file.open(QIODevice::WriteOnly)) {
        fprintf(stderr, "Could not open %s for writing: %s\n", qPrintable(filename),
                qPrintable(file.errorString()));
        return false;
    }
    const QByteArray content = data->readAll();
    // A short write leaves a broken installer: report it like a file that cannot be opened.
    const bool written = file.write(content) == content.size() && file.flush();
    file.close();
    if (!written)
        fprintf(stderr, "Could not write %s: %s\n", qPrintable(filename),
                qPrintable(file.errorString()));
    return written;
}

bool Zelt_ServerApp::isHttpRedirect(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status == 301 || status == 302 || status == 303 || status == 305 || status == 307 ||
           status == 308;
}

void Zelt_ServerApp::sslErrors(const QList<QSslError> &errors)
{
    for (const QSslError &error : errors)
        fprintf(stderr, "SSL error: %s\n", qPrintable(error.errorString()));
}

void Zelt_ServerApp::onServiceUpdate()
{
    qDebug() << "Service Updated";
}

void Zelt_ServerApp::onServiceUpdateE(QNetworkReply::NetworkError, QString)
{
    qDebug() << "Error Updating Service";
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
    if (isActiveWindow() || !loginData.loggedIn || !inactivityEnabled)
        return;
    statusTimer->stop();
    setEnabled(false);
    savedTitle = windowTitle();
    setWindowTitle(savedTitle + QStringLiteral(" - INACTIVE"));
    inactive = true;
}

void Zelt_ServerApp::onUserActive()
{
    if (!inactive)
        return;
    statusTimer->start();
    setEnabled(true);
    setWindowTitle(savedTitle);
    inactive = false;
}

void Zelt_ServerApp::setInactivityOff()
{
    inactivityEnabled = false;
    onUserActive();
}

void Zelt_ServerApp::setInactivityOn()
{
    inactivityEnabled = true;
}

void Zelt_ServerApp::refreshComponentsPanel()
{
    ui->icoConSvc->setPixmap(QPixmap(serviceRunning ? GreenLamp : RedLamp));
    meetingsPanel->setEnabled(serviceRunning && loginData.loggedIn);

    const auto meeting = meetingsPanel->currentMeeting();
    const bool meetingSelected = meeting.isMeetingIdSet() && !meeting.meetingId().isEmpty();
    ui->btnCustomURL->setEnabled(serviceRunning && meetingSelected);
    ui->widgetFileArea->setEnabled(serviceRunning && meetingSelected);

    QWidget *tab = ui->tabBrowser->currentWidget();
    bool hasSelection = false;
    if (tab == s3Browser)
        hasSelection = !s3Browser->selectedItems().isEmpty();
    else if (tab == nextCloudBrowser)
        hasSelection = !nextCloudBrowser->selectedItems().isEmpty();
    else if (tab == assetBundlesPanel)
        hasSelection = !assetBundlesPanel->selectedItems().isEmpty();
    ui->btnAdd->setEnabled(hasSelection);
    if (tab == s3Browser)
        s3Browser->setDeleteEnabled(hasSelection);
    else if (tab == assetBundlesPanel)
        assetBundlesPanel->setDeleteEnabled(hasSelection);

    const bool cellsSelected = !ui->tblAssets->selectedItems().isEmpty();
    ui->btnRemove->setEnabled(cellsSelected);
    ui->btnProperties->setEnabled(cellsSelected);
    ui->btnRemoveAll->setEnabled(ui->tblAssets->rowCount() > 0);
}

void Zelt_ServerApp::onTransferProgress(int mode, QString, QString object, qlonglong size,
                                        qlonglong progress, int bytespersecond)
{
    const SizeText::Scaled completed = SizeText::transferSize(progress);
    const QString completedForms[] = {tr("Completed: %1 KB"), tr("Completed: %1 MB"),
                                      tr("Completed: %1 GB")};
    lblTransferCompleted->setText(completedForms[int(completed.unit)].arg(completed.number));

    const SizeText::Scaled total = SizeText::transferSize(size);
    const QString sizeForms[] = {tr("Size: %1 KB"), tr("Size: %1 MB"), tr("Size: %1 GB")};
    lblTransferSize->setText(sizeForms[int(total.unit)].arg(total.number));

    // The progress bar counts in int: scale both values down together until the size fits.
    qlonglong barSize = size;
    qlonglong barProgress = progress;
    while (barSize > std::numeric_limits<int>::max()) {
        barSize /= 10;
        barProgress /= 10;
    }

    const QString kinds[] = {tr("Uploading:"), tr("Downloading:"), tr("Deleting:"),
                             tr("Size Query:")};
    lblTransferKind->setText(mode >= 0 && mode < 4 ? kinds[mode] : QString());
    lblTransferObject->setText(object.mid(object.lastIndexOf(QLatin1Char('/')) + 1));

    transferProgressBar->setRange(0, barSize == 0 ? 1 : int(barSize));
    transferProgressBar->setValue(int(barProgress));

    const double kilobytesPerSecond = bytespersecond / 1024.0;
    if (kilobytesPerSecond > 1024)
        lblTransferSpeed->setText(
            tr("Speed: %1 MByte/s").arg(QString::number(kilobytesPerSecond / 1024, 'f', 2)));
    else
        lblTransferSpeed->setText(
            tr("Speed: %1 KByte/s").arg(QString::number(kilobytesPerSecond, 'g')));
}

void Zelt_ServerApp::onUpdateQueue(QList<Zelt_S3::fileEntry> files)
{
    static const QStringList marks{QStringLiteral("↑"), QStringLiteral("↓"), QStringLiteral("X"),
                                   QStringLiteral("?")};
    const QStringList statusTexts{tr("Queued"),  tr("In Progress"), tr("Paused"),
                                  tr("Skipped"), tr("Complete"),    tr("Failed")};
    const QString sizeForms[] = {tr("%1 KB"), tr("%1 MB"), tr("%1 GB")};

    QTableWidget *table = ui->tblProgress;
    table->setRowCount(int(files.size()));
    for (int row = 0; row < files.size(); ++row) {
        const Zelt_S3::fileEntry &entry = files.at(row);
        const SizeText::Scaled size = SizeText::transferSize(entry.size);
        qsizetype folderEnd = entry.local.lastIndexOf(QLatin1Char('/'));
        if (folderEnd < 0)
            folderEnd = entry.local.lastIndexOf(QLatin1Char('\\'));
        const QStringList cells{marks.value(entry.operation),
                                entry.remote.mid(entry.remote.lastIndexOf(QLatin1Char('/')) + 1),
                                sizeForms[int(size.unit)].arg(size.number),
                                statusTexts.value(entry.status),
                                entry.remote,
                                folderEnd < 0 ? entry.local : entry.local.left(folderEnd)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        table->setRowHeight(row, 20);
    }
}

void Zelt_ServerApp::on_dckProgress_visibilityChanged(bool visible)
{
    ui->btnQueue->setChecked(visible);
}

void Zelt_ServerApp::on_btnQueue_clicked()
{
    ui->dckProgress->setVisible(ui->btnQueue->isChecked());
}
