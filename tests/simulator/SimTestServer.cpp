#include "SimTestServer.h"

#include "SimHttp.h"
#include "TestPaths.h"

#include <QTest>

SimTestServer::SimTestServer(VorelSim::SimulatorConfig config) : server(config)
{
    if (server.loadFixture(fixturePath(), &m_error))
        server.start(&m_error);
}

QString SimTestServer::login(const QString &userId, const QString &password)
{
    return loginReply(userId, password).value(QStringLiteral("access_token")).toString();
}

QString SimTestServer::refreshTokenOf(const QString &userId, const QString &password)
{
    return loginReply(userId, password).value(QStringLiteral("refresh_token")).toString();
}

QString SimTestServer::idOf(const QString &userId)
{
    const VorelSim::User *user = server.state().userByLogin(userId);
    return user ? user->id : QString();
}

VorelSim::SimulatorConfig SimTestServer::frozenConfig()
{
    VorelSim::SimulatorConfig config;
    config.frozenClock = true;
    return config;
}

QString SimTestServer::fixturePath()
{
    return TestPaths::sourceDir() + QStringLiteral("/simulator/fixtures/demo.json");
}

QJsonObject SimTestServer::loginReply(const QString &userId, const QString &password)
{
    SimHttp http(url());
    return http
        .form("POST", QStringLiteral("/auth/login"),
              {{QStringLiteral("client"), QStringLiteral("Brenn")},
               {QStringLiteral("password"),
                password.isEmpty() ? userId + QStringLiteral("-demo") : password},
               {QStringLiteral("passwordold"), QString()},
               {QStringLiteral("username"), userId}})
        .object();
}

void SimTestCase::init()
{
    m_server = std::make_unique<SimTestServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->error()));
}

void SimTestCase::cleanup()
{
    m_server.reset();
}
