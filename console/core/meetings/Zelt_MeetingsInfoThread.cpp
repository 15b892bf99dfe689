#include "Zelt_MeetingsInfoThread.h"

#include "ConsoleConfig.h"
#include "LogCategories.h"
#include "Prompt.h"
#include "ZeltClientFactory.h"
#include "Zelt_LoginData.h"

#include <QDateTime>
#include <QMetaType>

#include <type_traits>
#include <utility>

using namespace Zelt_Service_API;
using Zelt_AuthService_API::ZeltAuth;
using Zelt_AuthService_API::ZeltAuthApi;
using Zelt_AuthService_API::ZeltError;

namespace {
// Refresh this long before the access token runs out, so a poll never goes out with a dead one.
constexpr qint64 RefreshAheadMs = 20 * 1000;
constexpr int ListFailuresBeforeExit = 3;
const QString TokenRealm = QStringLiteral("Brenn");

void registerMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<QMap<QString, ZeltMeetingInfo>>();
        qRegisterMetaType<VersionNumber>();
        qRegisterMetaType<LivePoll>();
        qRegisterMetaType<VersionNumber>("Zelt_MeetingsInfoThread::_serviceVersion");
        qRegisterMetaType<ZeltVersions>();
        qRegisterMetaType<ZeltSpawnPoint>();
        qRegisterMetaType<ZeltS3TempAccessKey>();
        qRegisterMetaType<QList<ZeltAssetBundle>>();
        qRegisterMetaType<QList<ZeltBanlistEntry>>();
        qRegisterMetaType<ZeltAssetBundle>();
        qRegisterMetaType<ZeltBanlistEntry>();
        qRegisterMetaType<ZeltError>();
        return true;
    }();
    Q_UNUSED(registered);
}

// Failure details go to the debug output only: where, "ERROR:", the network error and the text.
void logFailure(const char *function, QNetworkReply::NetworkError type, const QString &text)
{
    qCWarning(lcSrv).noquote() << function << "ERROR:" << int(type) << text;
}
} // namespace

Zelt_MeetingsInfoThread::Zelt_MeetingsInfoThread(QObject *parent, ConsoleConfig *config)
    : QObject(parent)
{
    registerMetaTypes();
    if (config) {
        authServiceHost = config->authServiceHost;
        authServicePath = config->authServicePath;
        serviceHost = config->serviceHost;
        servicePath = config->servicePath;
    }
}

// --- Clients ---

void Zelt_MeetingsInfoThread::createClients()
{
    if (!serviceApi)
        createServiceClient();
    if (!assetBundleApi)
        createAssetBundleClient();
    if (!authApi)
        createAuthClient();
}

template <typename Client>
Client *Zelt_MeetingsInfoThread::newClient(const QString &host, const QString &path,
                                           const ZeltHeaderList &headers)
{
    auto *client = newZeltClient<Client>(host, path, headers, this);
    // The refresh itself must not wait for a refresh.
    if constexpr (!std::is_same_v<Client, ZeltAuthApi>)
        client->setTokenRenewal(this);
    // Clients are made on first use, which may come after the session's token.
    if (!accessToken.isEmpty())
        client->setBearerToken(accessToken);
    return client;
}

void Zelt_MeetingsInfoThread::createServiceClient()
{
    serviceApi =
        newClient<ZeltMeetingServiceApi>(serviceHost, servicePath, ZeltDefaultHeaders::Json);

    using Api = ZeltMeetingServiceApi;
    using Self = Zelt_MeetingsInfoThread;
    connect(serviceApi, &Api::serviceMeetingsSignal, this, &Self::serviceMeetingsCallBack);
    connect(serviceApi, &Api::serviceMeetingsSignalE, this, &Self::serviceMeetingsECallBack);
    connect(serviceApi, &Api::serviceMeetingsSignalFull, this, &Self::onServiceMeetingsFull);
    connect(serviceApi, &Api::serviceVersionsSignal, this, &Self::serviceVersions);
    connect(serviceApi, &Api::serviceVersionsSignalE, this, &Self::onServiceVersionsE);
    connect(serviceApi, &Api::serviceStatusSignal, this, [this] { emit serviceStatus(true); });
    connect(serviceApi, &Api::serviceStatusSignalFull, this, &Self::onServiceStatusFull);
    connect(serviceApi, &Api::serviceStatusSignalE, this, &Self::onServiceStatusE);
    connect(serviceApi, &Api::serviceLogfileSignal, this, &Self::onServiceLogfile);
    connect(serviceApi, &Api::serviceLogfileSignalE, this, &Self::onServiceLogfileE);
    connect(serviceApi, &Api::s3TempAccessKeySignal, this, &Self::s3TempAccess);
    connect(serviceApi, &Api::s3TempAccessKeySignalE, this, &Self::onS3TempAccessKeyE);
    connect(serviceApi, &Api::meetingLogfileSignal, this, &Self::onMeetingLogfile);
    connect(serviceApi, &Api::meetingLogfileSignalE, this, &Self::onMeetingLogfileE);
    connect(serviceApi, &Api::meetingCommandSignal, this, &Self::onMeetingCommandCallback);
    connect(serviceApi, &Api::meetingCommandSignalE, this, &Self::onMeetingCommandCallbackE);
    connect(serviceApi, &Api::banlistPostSignal, this, &Self::banlistPost);
    connect(serviceApi, &Api::banlistPostSignalE, this, &Self::onBanlistPostE);
    connect(serviceApi, &Api::banlistDeleteSignal, this, &Self::banlistDeleted);
    connect(serviceApi, &Api::banlistDeleteSignalE, this, &Self::onBanlistDeleteE);
    connect(serviceApi, &Api::banlistGetSignal, this, &Self::banlist);
    connect(serviceApi, &Api::banlistGetSignalE, this, &Self::onBanlistGetE);
}

void Zelt_MeetingsInfoThread::createAssetBundleClient()
{
    assetBundleApi =
        newClient<ZeltAssetBundleApi>(serviceHost, servicePath, ZeltDefaultHeaders::Json);

    using Api = ZeltAssetBundleApi;
    using Self = Zelt_MeetingsInfoThread;
    connect(assetBundleApi, &Api::assetBundlePostSignal, this, &Self::assetBundlePost);
    connect(assetBundleApi, &Api::assetBundlePostSignalE, this, &Self::onAssetBundlePostE);
    connect(assetBundleApi, &Api::assetBundleDeleteSignal, this, &Self::assetBundleDeleted);
    connect(assetBundleApi, &Api::assetBundleDeleteSignalE, this, &Self::onAssetBundleDeleteE);
    connect(assetBundleApi, &Api::assetBundleGetSignal, this, &Self::assetBundles);
    connect(assetBundleApi, &Api::assetBundleGetSignalE, this, &Self::onAssetBundleGetE);
}

void Zelt_MeetingsInfoThread::createAuthClient()
{
    authApi = newClient<ZeltAuthApi>(authServiceHost, authServicePath, ZeltDefaultHeaders::Form);
    connect(authApi, &ZeltAuthApi::authRefreshPostSignal, this,
            &Zelt_MeetingsInfoThread::onAuthRefresh);
    connect(authApi, &ZeltAuthApi::authRefreshPostSignalE, this,
            &Zelt_MeetingsInfoThread::onAuthRefreshError);
}

// --- Session ---

void Zelt_MeetingsInfoThread::setLoginData(Zelt_LoginData *data)
{
    createClients();
    loginData = data;
    // A new session must not inherit the failed refreshes of the one before.
    refreshFailures = 0;
    if (loginData)
        applyAccessToken(loginData->accessToken);
}

void Zelt_MeetingsInfoThread::applyAccessToken(const QString &token)
{
    accessToken = token;
    for (ZeltApiClient *client :
         std::initializer_list<ZeltApiClient *>{serviceApi, assetBundleApi, authApi}) {
        if (client)
            client->setBearerToken(token);
    }
    emit tokenChanged(token);
}

void Zelt_MeetingsInfoThread::refreshTokenIfDue()
{
    if (refreshPending)
        return;
    if (QDateTime::currentDateTime().msecsTo(loginData->tokenExpiry) > RefreshAheadMs)
        return;
    startRefresh();
}

void Zelt_MeetingsInfoThread::startRefresh()
{
    refreshPending = true;
    authApi->authRefreshPost(TokenRealm, loginData->refreshToken);
}

void Zelt_MeetingsInfoThread::renewAccessToken(QObject *context,
                                               std::function<void(bool renewed)> done)
{
    createClients();
    if (!loginData || !loginData->loggedIn || loginData->refreshToken.isEmpty()) {
        done(false);
        return;
    }
    waitingRenewals.append({context, std::move(done)});
    if (!refreshPending)
        startRefresh();
}

void Zelt_MeetingsInfoThread::settleRenewals(bool renewed)
{
    const auto waiting = std::exchange(waitingRenewals, {});
    for (const auto &[context, done] : waiting) {
        if (context)
            done(renewed);
    }
}

void Zelt_MeetingsInfoThread::onAuthRefresh(ZeltAuth auth)
{
    if (loginData) {
        loginData->accessToken = auth.accessToken();
        loginData->refreshToken = auth.refreshToken();
        loginData->tokenExpiry = QDateTime::currentDateTime().addSecs(auth.expiresIn());
    }
    refreshPending = false;
    refreshFailures = 0;
    applyAccessToken(auth.accessToken());
    settleRenewals(true);
}

void Zelt_MeetingsInfoThread::onAuthRefreshError(ZeltAuth, QNetworkReply::NetworkError type,
                                                 QString text)
{
    refreshPending = false;
    ++refreshFailures;
    logFailure(Q_FUNC_INFO, type, text);
    // A refused token with no new one to follow is a dead session; a refresh ahead of time may
    // fail once as a hiccup.
    const bool tokenRefused = !waitingRenewals.isEmpty();
    settleRenewals(false);
    if (tokenRefused || text.contains(QLatin1String("Token is not active"), Qt::CaseInsensitive) ||
        refreshFailures > 1) {
        emit stopThread();
        emit sessionExpired();
    }
}

// --- The poll ---

void Zelt_MeetingsInfoThread::getMeetingsInfo()
{
    createClients();
    if (!loginData || !loginData->loggedIn) {
        qCDebug(lcSrv) << "Cannot get Meetings, not Authenticated.";
        return;
    }
    refreshTokenIfDue();
    // A request still unanswered is not asked again: a stalled service must not collect one per
    // poll. Its time-out reports it.
    if (!isOutstanding(pollListing))
        pollListing = serviceApi->serviceMeetings();
    if (!isOutstanding(pollStatus))
        pollStatus = serviceApi->serviceStatus();
}

void Zelt_MeetingsInfoThread::serviceMeetingsCallBack(QList<ZeltMeetingInfo> list)
{
    listFailures = 0;
    QMap<QString, ZeltMeetingInfo> info;
    for (const ZeltMeetingInfo &meeting : list)
        info.insert(meeting.meetingId().toLower(), meeting);
    emit meetingsInfo(info);
    emit serviceStatus(true);
    liveInfo = info;
}

void Zelt_MeetingsInfoThread::onServiceMeetingsFull(ZeltHttpRequestWorker *worker,
                                                    QList<ZeltMeetingInfo> list)
{
    emit meetingsPolled(LivePoll::fromListing(list, worker->response, pollClock()));
}

void Zelt_MeetingsInfoThread::serviceMeetingsECallBack(QList<ZeltMeetingInfo>,
                                                       QNetworkReply::NetworkError type,
                                                       QString text)
{
    ++listFailures;
    qCDebug(lcSrv).noquote() << "Connecting to service failed: " << type << text;
    if (listFailures == ListFailuresBeforeExit) {
        emit stopThread();
        Prompt::critical(nullptr, tr("Cannot connect to service"),
                         tr("Connecting to service failed. Please try again later."));
        emit exitApp();
    }
    emit serviceStatus(false);
}

// --- Status and versions ---

void Zelt_MeetingsInfoThread::getServiceStatus()
{
    createClients();
    serviceApi->serviceStatus();
}

void Zelt_MeetingsInfoThread::onServiceStatusFull(ZeltHttpRequestWorker *worker)
{
    const ZeltError status(QString::fromUtf8(worker->response));
    if (!status.isMessageSet())
        return;
    if (const auto version = VersionNumber::fromStatusMessage(status.message()))
        emit serviceVersion(*version);
}

void Zelt_MeetingsInfoThread::onServiceStatusE(QNetworkReply::NetworkError, QString)
{
    emit serviceStatus(false);
}

void Zelt_MeetingsInfoThread::getServiceVersionInformation()
{
    createClients();
    serviceApi->serviceVersions();
}

void Zelt_MeetingsInfoThread::onServiceVersionsE(ZeltVersions, QNetworkReply::NetworkError type,
                                                 QString text)
{
    logFailure(Q_FUNC_INFO, type, text);
    emit serviceVersionsFailed();
    emit serviceVersions(ZeltVersions());
    emit serviceStatus(false);
}

// --- Logs and storage credentials ---

void Zelt_MeetingsInfoThread::getMirrorLog(QString meetingId, int lines)
{
    createClients();
    serviceApi->meetingLogfile(meetingId, lines);
}

void Zelt_MeetingsInfoThread::getServiceLog(int lines)
{
    createClients();
    serviceApi->serviceLogfile(lines);
}

void Zelt_MeetingsInfoThread::emitLog(void (Zelt_MeetingsInfoThread::*signal)(QString),
                                      const QString &text)
{
    lastLog = text.isEmpty() ? tr("Empty log file") : text;
    emit(this->*signal)(lastLog);
}

void Zelt_MeetingsInfoThread::onMeetingLogfile(QString text)
{
    emitLog(&Zelt_MeetingsInfoThread::mirrorLog, text);
}

void Zelt_MeetingsInfoThread::onMeetingLogfileE(QString, QNetworkReply::NetworkError type,
                                                QString error)
{
    logFailure(Q_FUNC_INFO, type, error);
    emitLog(&Zelt_MeetingsInfoThread::mirrorLog, tr("Error getting logfile."));
}

void Zelt_MeetingsInfoThread::onServiceLogfile(QString text)
{
    emitLog(&Zelt_MeetingsInfoThread::serviceLog, text);
}

void Zelt_MeetingsInfoThread::onServiceLogfileE(QString, QNetworkReply::NetworkError type,
                                                QString error)
{
    logFailure(Q_FUNC_INFO, type, error);
    emitLog(&Zelt_MeetingsInfoThread::serviceLog, tr("Error getting logfile."));
}

void Zelt_MeetingsInfoThread::getS3Token()
{
    createClients();
    serviceApi->s3TempAccessKey();
}

void Zelt_MeetingsInfoThread::onS3TempAccessKeyE(ZeltS3TempAccessKey,
                                                 QNetworkReply::NetworkError type, QString text)
{
    logFailure(Q_FUNC_INFO, type, text);
    emit s3TempAccess(ZeltS3TempAccessKey());
}

// --- Meeting commands ---

void Zelt_MeetingsInfoThread::sendMeetingCommand(QString meetingId, QString strCmd,
                                                 QStringList lstParams)
{
    createClients();
    // The path names the meeting; the body carries no meetingId.
    ZeltMeetingCommand command;
    command.setCommand(strCmd);
    command.setParams(lstParams);
    serviceApi->meetingCommand(meetingId, command);
}

void Zelt_MeetingsInfoThread::onMeetingCommandCallback(ZeltMeetingCommandResponse response)
{
    const QList<ZeltDefVector3> vectors = response.vList();
    if (response.command().compare(QLatin1String("GetPlayerPos"), Qt::CaseInsensitive) == 0 &&
        vectors.size() > 1) {
        ZeltSpawnPoint point;
        point.setName(QStringLiteral("Player Pos"));
        point.setPosition(vectors.at(0));
        point.setRotation(vectors.at(1));
        emit playerPos(point);
    }
    for (const QString &line : response.sList())
        qCDebug(lcSrv).noquote() << line;
    for (const ZeltDefVector3 &vector : vectors)
        qCDebug(lcSrv) << vector.x() << vector.y() << vector.z();
}

void Zelt_MeetingsInfoThread::onMeetingCommandCallbackE(ZeltMeetingCommandResponse,
                                                        QNetworkReply::NetworkError, QString)
{
    // Failed commands are silent.
}

// --- Asset bundles ---

void Zelt_MeetingsInfoThread::reportFailure(const char *function, QNetworkReply::NetworkError type,
                                            const QString &text, const QString &title,
                                            const QString &textTemplate,
                                            void (Zelt_MeetingsInfoThread::*announce)(ZeltError))
{
    logFailure(function, type, text);
    const ZeltError error = ZeltError::fromErrorText(text);
    if (announce)
        emit(this->*announce)(error);
    Prompt::critical(nullptr, title, textTemplate.arg(error.message()));
}

void Zelt_MeetingsInfoThread::createAssetBundle(ZeltAssetBundle bundle)
{
    createClients();
    assetBundleApi->assetBundlePost(bundle);
}

void Zelt_MeetingsInfoThread::deleteAssetBundle(QString id)
{
    createClients();
    assetBundleApi->assetBundleDelete(id);
}

void Zelt_MeetingsInfoThread::getAssetBundle(QString id)
{
    createClients();
    assetBundleApi->assetBundleGet(id);
}

void Zelt_MeetingsInfoThread::getAssetBundles()
{
    getAssetBundle(QString());
}

void Zelt_MeetingsInfoThread::onAssetBundlePostE(QString, QNetworkReply::NetworkError type,
                                                 QString text)
{
    reportFailure(Q_FUNC_INFO, type, text, tr("Error creating asset bundle"),
                  tr("An error occured while trying to create or modify asset bundle:\n%1"),
                  &Zelt_MeetingsInfoThread::assetBundlePostError);
}

void Zelt_MeetingsInfoThread::onAssetBundleDeleteE(QString, QNetworkReply::NetworkError type,
                                                   QString text)
{
    reportFailure(Q_FUNC_INFO, type, text, tr("Error deleting asset bundle"),
                  tr("An error occured while trying to delete asset bundle:\n%1"));
}

void Zelt_MeetingsInfoThread::onAssetBundleGetE(QList<ZeltAssetBundle>,
                                                QNetworkReply::NetworkError type, QString text)
{
    reportFailure(Q_FUNC_INFO, type, text, tr("Error getting asset bundles"),
                  tr("An error occured while trying to get asset bundles: \n%1"));
    emit assetBundles({});
}

// --- Banlist ---

void Zelt_MeetingsInfoThread::getBanlist()
{
    createClients();
    serviceApi->banlistGet();
}

void Zelt_MeetingsInfoThread::addBanlistEntry(ZeltBanlistEntry entry)
{
    createClients();
    serviceApi->banlistPost(entry);
}

void Zelt_MeetingsInfoThread::deleteBanlistEntry(int id)
{
    createClients();
    serviceApi->banlistDelete(id);
}

void Zelt_MeetingsInfoThread::onBanlistGetE(QList<ZeltBanlistEntry>,
                                            QNetworkReply::NetworkError type, QString text)
{
    reportFailure(Q_FUNC_INFO, type, text, tr("Error getting banlist"),
                  tr("An error occured while trying to get the banlist: \n%1"));
    emit banlist({});
}

void Zelt_MeetingsInfoThread::onBanlistPostE(qint32, QNetworkReply::NetworkError type, QString text)
{
    reportFailure(Q_FUNC_INFO, type, text, tr("Error adding banlist entry"),
                  tr("An error occured while trying to add an entry to the banlist:\n%1"),
                  &Zelt_MeetingsInfoThread::banlistPostError);
}

void Zelt_MeetingsInfoThread::onBanlistDeleteE(qint32, QNetworkReply::NetworkError type,
                                               QString text)
{
    reportFailure(Q_FUNC_INFO, type, text, tr("Error deleting banlist entry"),
                  tr("Deleting the banlist entry failed:\n%1"));
}
