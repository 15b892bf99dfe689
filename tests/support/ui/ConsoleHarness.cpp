#include "ConsoleHarness.h"

#include "OpenDialogs.h"
#include "S3Peer.h"
#include "TestPaths.h"

#include <QSettings>
#include <QTest>

ConsoleHarness::ConsoleHarness()
    : sim([] {
          VorelSim::SimulatorConfig config;
          config.frozenClock = true;
          if (S3Peer *storage = S3Peer::shared())
              config.s3Endpoint = storage->endpoint();
          return config;
      }()),
      exits(closeOpenDialogs)
{
    const QString fixture =
        TestPaths::sourceDir() + QStringLiteral("/simulator/fixtures/demo.json");
    if (sim.loadFixture(fixture, &m_error))
        sim.start(&m_error);
}

ConsoleHarness::~ConsoleHarness()
{
    window.reset();
}

bool ConsoleHarness::signIn(const QString &user)
{
    const QString ini = m_dir.filePath(QStringLiteral("console.ini"));
    {
        QSettings settings(ini, QSettings::IniFormat);
        for (const char *group : {"Zelt_MeetingService", "Zelt_AuthService", "Zelt_Service"})
            settings.setValue(QString::fromLatin1(group) + QStringLiteral("/host"), sim.baseUrl());
    }
    login.typeCredentials(user, user + QStringLiteral("-demo"));
    window = std::make_unique<Zelt_ServerApp>(
        QStringList{QStringLiteral("Zelt_ConsoleApp"), QStringLiteral("-i"), ini});
    return QTest::qWaitFor([this] { return window->session().loggedIn; }, 10000) &&
           QTest::qWaitFor([this] { return requestCount("serviceStatus") > 0; }, 10000);
}
