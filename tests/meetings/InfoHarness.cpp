#include "InfoHarness.h"

#include "ServiceAddress.h"
#include "TestPaths.h"
#include "auth/ZeltAuthApi.h"

#include <QDateTime>
#include <QFile>
#include <QMetaMethod>
#include <QTest>

InfoHarness::InfoHarness()
    : sim([] {
          VorelSim::SimulatorConfig config;
          config.frozenClock = true;
          return config;
      }())
{
    const QString fixture =
        TestPaths::sourceDir() + QStringLiteral("/simulator/fixtures/demo.json");
    if (!m_dir.isValid())
        m_error = QStringLiteral("no temporary folder");
    else if (sim.loadFixture(fixture, &m_error))
        sim.start(&m_error);
}

ConsoleConfig *InfoHarness::config(const QString &authHost, const QString &serviceHost)
{
    // A new file each time: settings files are cached by path within the process.
    const QString iniPath = m_dir.filePath(QStringLiteral("console-%1.ini").arg(++m_configs));
    QFile ini(iniPath);
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return nullptr;
    const QString text =
        QStringLiteral("[Zelt_AuthService]\nhost=%1\npath=\n\n[Zelt_Service]\nhost=%2\npath=\n")
            .arg(authHost.isEmpty() ? sim.authServiceUrl().toString() : authHost,
                 serviceHost.isEmpty() ? sim.mainServiceUrl().toString() : serviceHost);
    ini.write(text.toUtf8());
    ini.close();
    m_config = std::make_unique<ConsoleConfig>(
        QStringList{QStringLiteral("console"), QStringLiteral("-i"), iniPath});
    return m_config.get();
}

bool InfoHarness::signIn(const QString &userId)
{
    using Zelt_AuthService_API::ZeltAuthApi;
    ZeltAuthApi auth(ServiceAddress::fromConfig(sim.authServiceUrl().toString(), QString()));
    auth.addHeaders(QStringLiteral("Content-Type"),
                    QStringLiteral("application/x-www-form-urlencoded"));
    QSignalSpy done(&auth, &ZeltAuthApi::authLoginPostSignal);
    QSignalSpy failed(&auth, &ZeltAuthApi::authLoginPostSignalE);
    auth.authLoginPost(QStringLiteral("Brenn"), userId, userId + QStringLiteral("-demo"),
                       QString());
    if (!QTest::qWaitFor([&] { return done.count() + failed.count() > 0; }, 10000) ||
        done.isEmpty())
        return false;
    const auto tokens = done.first().first().value<Zelt_AuthService_API::ZeltAuth>();
    login.userId = userId;
    login.accessToken = tokens.accessToken();
    login.refreshToken = tokens.refreshToken();
    login.tokenExpiry = QDateTime::currentDateTime().addSecs(tokens.expiresIn());
    login.loggedIn = true;
    return true;
}

namespace {
std::unique_ptr<QSignalSpy> spyOn(const QObject *client, const QByteArray &name)
{
    const QMetaObject *meta = client->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal && method.name() == name)
            return std::make_unique<QSignalSpy>(client, QByteArray("2") + method.methodSignature());
    }
    return nullptr;
}
} // namespace

AnswerCounter::AnswerCounter(const QObject *client, const QByteArray &operation)
    : m_done(client ? spyOn(client, operation + "SignalFull") : nullptr),
      m_failed(client ? spyOn(client, operation + "SignalEFull") : nullptr)
{
}
