#pragma once

#include "SimulatorServer.h"

#include <QObject>
#include <QString>

#include <memory>

// The stand-in as the tests use it: the demo fixture, a frozen clock, listening on a free port.
class SimTestServer
{
public:
    explicit SimTestServer(VorelSim::SimulatorConfig config = frozenConfig());

    bool ready() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString url() const { return server.baseUrl(); }

    // Logs the account in over HTTP and returns its access token (empty on failure).
    QString login(const QString &userId, const QString &password = {});
    QString refreshTokenOf(const QString &userId, const QString &password = {});
    QString idOf(const QString &userId);

    static VorelSim::SimulatorConfig frozenConfig();
    static QString fixturePath();

    VorelSim::SimulatorServer server;

private:
    QJsonObject loginReply(const QString &userId, const QString &password);
    QString m_error;
};

// Base of the stand-in's test classes: every test function gets a fresh stand-in.
class SimTestCase : public QObject
{
    Q_OBJECT

protected:
    SimTestServer &server() { return *m_server; }

private slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<SimTestServer> m_server;
};
