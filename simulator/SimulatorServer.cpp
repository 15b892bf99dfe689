#include "SimulatorServer.h"

#include "AuthService.h"
#include "AwsStandIns.h"
#include "ControlService.h"
#include "Fixture.h"
#include "HttpFrontend.h"
#include "LiveMeetings.h"
#include "MeetingService.h"
#include "PlatformService.h"
#include "RoomService.h"
#include "Router.h"
#include "ServiceContext.h"
#include "TokenStore.h"

namespace VorelSim {

namespace {
struct InjectedFailure
{
    int remaining = 0;
    int status = 503;
};
} // namespace

struct SimulatorServer::Private
{
    explicit Private(const SimulatorConfig &configuration, SimulatorServer &server)
        : config(configuration), tokens(clock),
          live(state, clock, configuration.randomSeed), context{config, state, clock,
                                                                tokens, live,  {}},
          auth(context), meetings(context), rooms(context), platform(context), aws(context),
          control(server)
    {
        tokens.setLifetimes(config.tokenLifetime, config.refreshLifetime);
        if (config.frozenClock)
            clock.freeze();
        auth.addRoutes(router, config.authBase);
        meetings.addRoutes(router, config.meetingBase);
        rooms.addRoutes(router, config.serviceBase);
        platform.addRoutes(router, config.serviceBase);
        aws.addRoutes(router, config.awsBase);
        control.addRoutes(controlRouter, config.controlBase);
    }

    // An injected failure for the operation, if one is pending.
    std::optional<HttpReply> injectedFailure(const QString &operation)
    {
        for (const QString &key : {operation, QStringLiteral("*")}) {
            auto found = failures.find(key);
            if (found == failures.end() || found->remaining <= 0)
                continue;
            --found->remaining;
            return errorReply(found->status, reasonPhrase(found->status),
                              QStringLiteral("gateway"));
        }
        return std::nullopt;
    }

    SimulatorConfig config;
    SimClock clock;
    SimState state;
    TokenStore tokens;
    LiveMeetings live;
    ServiceContext context;
    AuthService auth;
    MeetingService meetings;
    RoomService rooms;
    PlatformService platform;
    AwsStandIns aws;
    ControlService control;
    Router router;
    Router controlRouter;
    HttpFrontend *frontend = nullptr;
    quint16 port = 0;
    QHash<QString, InjectedFailure> failures;
    QList<ReceivedRequest> received;
};

SimulatorServer::SimulatorServer(const SimulatorConfig &config, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(config, *this))
{
}

SimulatorServer::~SimulatorServer() = default;

bool SimulatorServer::loadFixture(const QString &path, QString *error)
{
    QString message;
    const bool loaded = Fixture::loadFile(path, d->config, d->state, d->live, &message);
    if (error)
        *error = message;
    return loaded;
}

bool SimulatorServer::loadFixture(const QJsonObject &fixture, QString *error)
{
    QString message;
    const bool loaded = Fixture::load(fixture, d->config, d->state, d->live, &message);
    if (error)
        *error = message;
    return loaded;
}

bool SimulatorServer::start(QString *error)
{
    if (d->frontend)
        return true;
    d->frontend =
        new HttpFrontend([this](const HttpRequest &request) { return handle(request); }, this);
    d->port = d->frontend->start(d->config.address, d->config.port, error);
    if (d->port == 0) {
        delete d->frontend;
        d->frontend = nullptr;
        return false;
    }
    d->context.baseUrl = baseUrl();
    return true;
}

const SimulatorConfig &SimulatorServer::config() const
{
    return d->config;
}

quint16 SimulatorServer::port() const
{
    return d->port;
}

QString SimulatorServer::baseUrl() const
{
    return QStringLiteral("http://%1:%2").arg(d->config.address.toString()).arg(d->port);
}

QUrl SimulatorServer::authServiceUrl() const
{
    return QUrl(baseUrl() + d->config.authBase);
}

QUrl SimulatorServer::meetingServiceUrl() const
{
    return QUrl(baseUrl() + d->config.meetingBase);
}

QUrl SimulatorServer::mainServiceUrl() const
{
    return QUrl(baseUrl() + d->config.serviceBase);
}

QUrl SimulatorServer::awsUrl() const
{
    return QUrl(baseUrl() + d->config.awsBase);
}

QStringList SimulatorServer::accountSummary() const
{
    QStringList lines;
    for (const User &user : d->state.users) {
        lines.append(
            QStringLiteral("%1 / %2  [%3]  %4")
                .arg(user.userId, user.password, user.roles.join(QStringLiteral(", ")), user.note));
    }
    return lines;
}

void SimulatorServer::failNext(const QString &operation, int count, int status)
{
    d->failures.insert(operation, {count, status});
}

bool SimulatorServer::expireAccessTokens(const QString &login)
{
    const User *user = d->state.userByLogin(login);
    if (user)
        d->tokens.expireAccessTokens(user->id);
    return user;
}

bool SimulatorServer::endSessions(const QString &login)
{
    const User *user = d->state.userByLogin(login);
    if (user)
        d->tokens.endSessions(user->id);
    return user;
}

void SimulatorServer::setTokenLifetime(qint64 seconds)
{
    d->config.tokenLifetime = seconds;
    d->tokens.setLifetimes(seconds, d->config.refreshLifetime);
}

void SimulatorServer::setServiceVersion(const QString &version)
{
    d->state.serviceVersion = version;
}

void SimulatorServer::setPublishedVersion(const QString &kind, const QList<int> &version,
                                          const QString &updateUrl)
{
    QJsonObject entry = d->state.versions.value(kind).toObject();
    QJsonArray parts;
    for (int part : version)
        parts.append(part);
    entry.insert(QStringLiteral("Version"), parts);
    if (!entry.contains(QStringLiteral("Name")))
        entry.insert(QStringLiteral("Name"), kind);
    if (!updateUrl.isEmpty())
        entry.insert(QStringLiteral("UpdateUrl"), updateUrl);
    d->state.versions.insert(kind, entry);
}

int SimulatorServer::addParticipant(const QString &meetingId, const QString &alias)
{
    d->live.catchUp();
    Meeting *meeting = d->state.meeting(meetingId);
    if (!meeting || !meeting->live)
        return -1;
    return d->live.join(*meeting, alias).id;
}

bool SimulatorServer::removeParticipant(const QString &meetingId, int clientId)
{
    d->live.catchUp();
    Meeting *meeting = d->state.meeting(meetingId);
    return meeting && d->live.leave(*meeting, clientId, QStringLiteral("left the meeting"));
}

QList<ReceivedRequest> SimulatorServer::received(const QString &operation) const
{
    if (operation.isEmpty())
        return d->received;
    QList<ReceivedRequest> matching;
    for (const ReceivedRequest &entry : d->received) {
        if (entry.operation == operation)
            matching.append(entry);
    }
    return matching;
}

void SimulatorServer::clearReceived()
{
    d->received.clear();
}

void SimulatorServer::freezeClock()
{
    d->clock.freeze();
}

void SimulatorServer::resumeClock()
{
    d->clock.resume();
}

void SimulatorServer::advanceClock(qint64 seconds)
{
    d->clock.advance(seconds);
    d->live.catchUp();
}

QDateTime SimulatorServer::now() const
{
    return d->clock.now();
}

SimState &SimulatorServer::state()
{
    d->live.catchUp();
    return d->state;
}

QJsonObject SimulatorServer::meetingInfo(const QString &meetingId) const
{
    d->live.catchUp();
    const Meeting *meeting = d->state.meeting(meetingId);
    return meeting ? d->rooms.infoJson(*meeting) : QJsonObject();
}

HttpReply SimulatorServer::handle(const HttpRequest &request)
{
    const Router::Match control = d->controlRouter.match(request);
    if (control.route)
        return control.route->handler(request, control.params);

    const Router::Match match = d->router.match(request);
    const QString operation = match.route ? match.route->operation : QString();
    HttpReply reply;
    if (!match.route) {
        reply = match.pathKnown
                    ? errorReply(405,
                                 QStringLiteral("Method %1 not allowed here")
                                     .arg(QString::fromUtf8(request.method)),
                                 QStringLiteral("gateway"))
                    : errorReply(404, QStringLiteral("No such endpoint: %1").arg(request.path),
                                 QStringLiteral("gateway"));
    } else if (const auto failure = d->injectedFailure(operation)) {
        reply = *failure;
    } else {
        reply = match.route->handler(request, match.params);
    }
    d->received.append({operation, request, reply.status, d->clock.now()});
    emit requestHandled(operation, reply.status);
    return reply;
}

} // namespace VorelSim
