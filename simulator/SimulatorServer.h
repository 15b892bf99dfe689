#pragma once

#include "HttpExchange.h"
#include "SimClock.h"
#include "SimState.h"
#include "SimulatorConfig.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>

#include <memory>

namespace VorelSim {

// One request as the stand-in received it, with the client operation it was routed to.
struct ReceivedRequest
{
    QString operation; // empty for a path no service knows
    HttpRequest request;
    int status = 0; // what the stand-in answered
    QDateTime at;
};

// The meeting platform's stand-in: authentication, meeting and main service, installer
// downloads, STS and Translate, all behind one HTTP server on 127.0.0.1, with in-memory state
// from a fixture. Tests run it in-process and steer it through the control functions below;
// the same controls are served over HTTP under config().controlBase.
class SimulatorServer : public QObject
{
    Q_OBJECT

public:
    explicit SimulatorServer(const SimulatorConfig &config = {}, QObject *parent = nullptr);
    ~SimulatorServer() override;

    bool loadFixture(const QString &path, QString *error = nullptr);
    bool loadFixture(const QJsonObject &fixture, QString *error = nullptr);
    // Starts listening on config().address and config().port (0: a free port).
    bool start(QString *error = nullptr);

    const SimulatorConfig &config() const;
    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:port"
    // Where each service lives: base URL plus its prefix, ready for an ini file's "host".
    QUrl authServiceUrl() const;
    QUrl meetingServiceUrl() const;
    QUrl mainServiceUrl() const;
    QUrl awsUrl() const;
    // One line per account of the fixture: login, password, roles and what it demonstrates.
    QStringList accountSummary() const;

    // --- Control ---
    // The next count requests of the operation (a client operation name such as
    // "serviceMeetings", or "*" for every one) fail with the status and a ZeltError body.
    void failNext(const QString &operation, int count, int status);
    // The user's access tokens die at once; refreshing still works. False for an unknown login.
    bool expireAccessTokens(const QString &login);
    // The user's sessions end: access and refresh tokens are dead ("Token is not active").
    bool endSessions(const QString &login);
    void setTokenLifetime(qint64 seconds);
    void setServiceVersion(const QString &version); // "2.1.0"
    void setPublishedVersion(const QString &kind, const QList<int> &version,
                             const QString &updateUrl = {});
    // A participant joins a running meeting; its client id, or -1 when the meeting is not running.
    int addParticipant(const QString &meetingId, const QString &alias);
    bool removeParticipant(const QString &meetingId, int clientId);
    // The requests received so far (all, or those of one operation), oldest first.
    QList<ReceivedRequest> received(const QString &operation = {}) const;
    void clearReceived();
    // The clock: frozen, it moves only by advanceClock. Live meetings follow it.
    void freezeClock();
    void resumeClock();
    void advanceClock(qint64 seconds);
    QDateTime now() const;
    // Direct access to the state, for checks and for arranging cases. Live meetings are brought
    // up to the clock first.
    SimState &state();
    QJsonObject meetingInfo(const QString &meetingId) const; // as the main service reports it

signals:
    void requestHandled(const QString &operation, int status);

private:
    struct Private;
    HttpReply handle(const HttpRequest &request);
    std::unique_ptr<Private> d;
};

} // namespace VorelSim
