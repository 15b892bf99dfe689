#include "ExitRecorder.h"
#include "FaultProxy.h"
#include "LoginDriver.h"
#include "NetworkIdle.h"
#include "OpenDialogs.h"
#include "ProcessLauncher.h"
#include "RecordingHttpServer.h"
#include "S3Peer.h"
#include "ScriptedPrompt.h"
#include "SimulatorServer.h"
#include "TestPaths.h"
#include "Zelt_Login.h"
#include "Zelt_Meetings.h"
#include "Zelt_ServerApp.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using VorelSim::SimulatorConfig;
using VorelSim::SimulatorServer;
using Kind = Prompt::Kind;

// Records what the console would start instead of starting it.
class RecordingLauncher : public ProcessLauncher
{
public:
    RecordingLauncher() { ProcessLauncher::setCurrent(this); }
    ~RecordingLauncher() override { ProcessLauncher::setCurrent(nullptr); }

    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        started << program;
        Q_UNUSED(arguments);
        return true;
    }
    QStringList started;
};

// The main window end to end: start-up, login, session upkeep and the status displays, against
// the platform stand-in running in this process.
class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    using FixtureEdit = std::function<void(QJsonObject &)>;

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SimulatorServer> sim;
    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<ExitRecorder> exits;
    std::unique_ptr<LoginDriver> login;
    std::unique_ptr<Zelt_ServerApp> window;

    static QJsonObject demoFixture()
    {
        QFile file(TestPaths::sourceDir() + QStringLiteral("/simulator/fixtures/demo.json"));
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    void startSimulator(SimulatorConfig config = {}, const FixtureEdit &edit = {})
    {
        if (S3Peer *storage = S3Peer::shared())
            config.s3Endpoint = storage->endpoint();
        sim = std::make_unique<SimulatorServer>(config);
        QJsonObject fixture = demoFixture();
        if (edit)
            edit(fixture);
        QString error;
        QVERIFY2(sim->loadFixture(fixture, &error), qPrintable(error));
        QVERIFY2(sim->start(&error), qPrintable(error));
    }

    QString writeIni(const QString &serviceHost, bool restoreWindow = true)
    {
        const QString path = dir->filePath(QStringLiteral("console.ini"));
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Zelt_MeetingService/host"), serviceHost);
        ini.setValue(QStringLiteral("Zelt_AuthService/host"), serviceHost);
        ini.setValue(QStringLiteral("Zelt_Service/host"), serviceHost);
        ini.setValue(QStringLiteral("Zelt_Console/restorewindow"), restoreWindow);
        return path;
    }

    void startConsole(bool restoreWindow = true)
    {
        startConsoleWith(
            writeIni(sim ? sim->baseUrl() : QStringLiteral("http://127.0.0.1:1"), restoreWindow));
    }

    void startConsoleWith(const QString &ini)
    {
        window = std::make_unique<Zelt_ServerApp>(
            QStringList{QStringLiteral("Zelt_ConsoleApp"), QStringLiteral("-i"), ini});
    }

    // Starts the console and logs in; waits until the first poll has been answered.
    void loginAs(const QString &user, const QString &password)
    {
        login->typeCredentials(user, password);
        startConsole();
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!sim->received(QStringLiteral("serviceStatus")).isEmpty(), 10000);
    }

    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    QStringList tabTitles() const
    {
        auto *tabs = child<QTabWidget>("tabBrowser");
        QStringList titles;
        for (int index = 0; index < tabs->count(); ++index)
            titles << tabs->tabText(index);
        return titles;
    }

    bool showsLamp(const QString &colour) const
    {
        const QPixmap shown = child<QLabel>("icoConSvc")->pixmap();
        const QPixmap lamp(QStringLiteral(":/Zelt_ServerApp/%1.svg").arg(colour));
        return shown.toImage() == lamp.toImage();
    }

    int requestCount(const char *operation) const
    {
        return int(sim->received(QString::fromLatin1(operation)).size());
    }

    QStringList statusBarTexts() const
    {
        QStringList texts;
        for (const char *name : {"lblTransferKind", "lblTransferObject", "lblTransferCompleted",
                                 "lblTransferSize", "lblTransferSpeed"})
            texts << child<QLabel>(name)->text();
        return texts;
    }

    void showProgress(int mode, const QString &object, qlonglong size, qlonglong progress,
                      int bytesPerSecond)
    {
        QVERIFY(QMetaObject::invokeMethod(window.get(), "onTransferProgress", Q_ARG(int, mode),
                                          Q_ARG(QString, QStringLiteral("bucket")),
                                          Q_ARG(QString, object), Q_ARG(qlonglong, size),
                                          Q_ARG(qlonglong, progress), Q_ARG(int, bytesPerSecond)));
    }

    static QSettings windowSettings()
    {
        return QSettings(QString::fromLatin1(Zelt_ServerApp::SettingsOrganisation),
                         QString::fromLatin1(Zelt_ServerApp::SettingsApplication));
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        prompt = std::make_unique<ScriptedPrompt>();
        exits = std::make_unique<ExitRecorder>(closeOpenDialogs);
        login = std::make_unique<LoginDriver>();
        windowSettings().clear();
    }

    void cleanup()
    {
        window.reset();
        login.reset();
        exits.reset();
        prompt.reset();
        sim.reset();
        dir.reset();
    }

    void startsWithVersionTitleAndLogsIn()
    {
        startSimulator();
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        startConsole();
        // Before the versions reply: the build version on the user button, no session yet.
        QCOMPARE(window->windowTitle(), QStringLiteral("Vorel Console 3.1"));
        QCOMPARE(child<QPushButton>("btnUserMenu")->text(), QStringLiteral("3.1.2"));
        QVERIFY(!window->session().loggedIn);
        QVERIFY(showsLamp(QStringLiteral("red")));

        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        QCOMPARE(login->dialogsSeen(), 1);
        const Zelt_LoginData &session = window->session();
        QCOMPARE(session.userId, QStringLiteral("anna"));
        QVERIFY(!session.accessToken.isEmpty());
        QVERIFY(session.groupsLoaded);
        QCOMPARE(session.company, QStringLiteral("Customer Acme"));
        QCOMPARE(session.storageMode, int(Zelt_LoginData::MinIO));
        QCOMPARE(child<QPushButton>("btnUserMenu")->text(), QStringLiteral("anna"));
        QVERIFY(window->isStatusTimerActive());
        QVERIFY(!child<QPushButton>("btnExport")->isVisibleTo(window.get()));

        // The poll answered: the lamp turns green; the MinIO account keeps the S3 tab only and
        // got temporary storage credentials from the service.
        QTRY_VERIFY_WITH_TIMEOUT(showsLamp(QStringLiteral("green")), 10000);
        QCOMPARE(tabTitles(), (QStringList{"S3", "Asset Bundles"}));
        QTRY_VERIFY_WITH_TIMEOUT(!window->session().storageSessionToken.isEmpty(), 10000);
        QCOMPARE(window->session().storageFolder, QStringLiteral("acme"));
        QVERIFY(window->session().storageTokenExpiry.isValid());
        QVERIFY(prompt->shown.isEmpty());
        QVERIFY(!exits->exited());

        // The requests carried the bearer token of the session.
        QTRY_VERIFY_WITH_TIMEOUT(!sim->received(QStringLiteral("serviceMeetings")).isEmpty(),
                                 10000);
        const auto meetings = sim->received(QStringLiteral("serviceMeetings"));
        QCOMPARE(meetings.last().request.header(QByteArrayLiteral("authorization")),
                 QByteArray("Bearer " + window->session().accessToken.toUtf8()));
    }

    void refusedLoginsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("wrong password") << "anna"
                                        << "wrong"
                                        << "Login failed"
                                        << "Login failed. Is your password correct?";
        QTest::newRow("inactive account") << "ingrid"
                                          << "ingrid-demo"
                                          << "Error"
                                          << "Authentication failed.";
        QTest::newRow("no presenter role")
            << "paul"
            << "paul-demo"
            << "Error"
            << "Your account is missing the 'Presenter' role. Please contact your administrator.";
    }
    void refusedLoginsKeepTheDialogOpen()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        startSimulator();
        login->typeCredentials(user, password);
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        startConsole();
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        QFETCH(QString, title);
        QCOMPARE(prompt->titles(Kind::Critical), QStringList{title});
        QTEST(prompt->texts(Kind::Critical).value(0), "text");
        // One dialog served both attempts, and the second one started from a clean record.
        QCOMPARE(login->dialogsSeen(), 1);
        QCOMPARE(window->session().userId, QStringLiteral("anna"));
        QVERIFY(!exits->exited());
    }

    // Only a refusal blames the password; the second attempt logs in where the service answers.
    void failedLoginsSayWhatHappened_data()
    {
        QTest::addColumn<int>("status"); // of the login's answer; 0: no service, -1: no answer
        QTest::addColumn<QString>("text");
        QTest::newRow("unreachable")
            << 0 << "The login service at http://127.0.0.1:1 could not be reached: ";
        QTest::newRow("stalled") << -1 << "could not be reached: No answer within 1 s";
        QTest::newRow("service error") << 500 << "The login service answered with an error: ";
        QTest::newRow("answer without a token")
            << 200 << "The login service's answer could not be read.";
    }
    void failedLoginsSayWhatHappened()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        std::unique_ptr<FaultProxy> auth;
        if (status != 0)
            startSimulator();
        if (status > 0)
            sim->failNext(QStringLiteral("authLoginPost"), 1, status);
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        if (status != 0)
            login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        else
            login->cancel();
        const QString ini = writeIni(sim ? sim->baseUrl() : QStringLiteral("http://127.0.0.1:1"));
        if (status < 0) {
            // The first login is taken and never answered.
            auth = std::make_unique<FaultProxy>(sim->port());
            QVERIFY(auth->start());
            auth->spoil("POST", 1, FaultProxy::Fault::Hold);
            QSettings settings(ini, QSettings::IniFormat);
            settings.setValue(QStringLiteral("Zelt_AuthService/host"), auth->url());
            settings.setValue(QStringLiteral("Zelt_Console/replytimeout"), 1);
        }
        startConsoleWith(ini);
        QTRY_VERIFY_WITH_TIMEOUT(!prompt->texts(Kind::Critical).isEmpty(), 10000);
        QCOMPARE(prompt->titles(Kind::Critical).value(0), QStringLiteral("Login failed"));
        const QString shown = prompt->texts(Kind::Critical).value(0);
        QVERIFY2((shown.startsWith(text) || (status < 0 && shown.endsWith(text))) &&
                     !shown.endsWith(QStringLiteral(", ")) &&
                     shown.size() > (text.endsWith(QLatin1Char(' ')) ? text.size() : 0),
                 qPrintable(shown));
        if (status != 0) {
            QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
            QCOMPARE(login->dialogsSeen(), 1);
        }
    }

    void cancelledLoginEndsTheProgram()
    {
        startSimulator();
        login->cancel();
        startConsole();
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes, QList<int>{0}, 10000);
        QVERIFY(!window->session().loggedIn);
    }

    // Cancel while the login is on its way drops that attempt only; the next one logs in.
    void cancelWhileLoggingInStartsAFreshAttempt()
    {
        startSimulator();
        FaultProxy auth(sim->port());
        QVERIFY(auth.start());
        auth.spoil("POST", 1, FaultProxy::Fault::Hold);
        const QString ini = writeIni(sim->baseUrl());
        QSettings(ini, QSettings::IniFormat).setValue("Zelt_AuthService/host", auth.url());
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QStringList seen; // while held, then after Cancel
        const auto state = [](Zelt_Login *dialog) {
            const QCursor *cursor = QGuiApplication::overrideCursor();
            const auto *sign = dialog->findChild<QProgressBar *>();
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            return QStringLiteral("busy %1 %2, fields %3, ok %4, cancel %5, password %6")
                .arg(int(sign && sign->isVisible()))
                .arg(int(cursor && cursor->shape() == Qt::BusyCursor))
                .arg(int(dialog->findChild<QLineEdit *>("lePass")->isEnabled()))
                .arg(int(buttons->button(QDialogButtonBox::Ok)->isEnabled()))
                .arg(int(buttons->button(QDialogButtonBox::Cancel)->isEnabled()))
                .arg(dialog->findChild<QLineEdit *>("lePass")->text());
        };
        QTimer watch; // the dialog's exec() runs the event loop
        connect(&watch, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<Zelt_Login *>(QApplication::activeModalWidget());
            if (!dialog || auth.requestLines().isEmpty() || !seen.isEmpty())
                return;
            seen << state(dialog);
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            buttons->button(QDialogButtonBox::Cancel)->click();
            seen << state(dialog) + QStringLiteral(", focus ") +
                        dialog->focusWidget()->objectName();
            if (!buttons->button(QDialogButtonBox::Ok)->isEnabled())
                dialog->done(QDialog::Rejected); // still stuck: end the test
        });
        watch.start(10);
        startConsoleWith(ini);
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn || exits->exited(), 10000);
        QCOMPARE(seen, (QStringList{"busy 1 1, fields 0, ok 0, cancel 1, password anna-demo",
                                    "busy 0 0, fields 1, ok 1, cancel 1, password anna-demo, "
                                    "focus lePass"}));
        QVERIFY(window->session().loggedIn && !exits->exited() && prompt->shown.isEmpty());
        QCOMPARE(login->dialogsSeen(), 1);
        QCOMPARE(sim->received(QStringLiteral("authLoginPost")).size(), 1);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A missing ini file is named once at start; the user menu can end the program from then on.
    void missingIniFileIsNamedOnce()
    {
        const QString ini = dir->filePath(QStringLiteral("absent.ini"));
        startConsoleWith(ini);
        QCOMPARE(prompt->titles(Kind::Warning), QStringList{"Configuration problem"});
        QVERIFY(prompt->shown.size() == 1 && prompt->shown.first().text.contains(ini));
        const QMenu *menu = child<QPushButton>("btnUserMenu")->menu();
        QVERIFY(menu && menu->actions().contains(child<QAction>("actionQuit")));
    }

    void failingAccountRequestsEndTheProgram_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("text");
        QTest::newRow("user") << "authUserGet"
                              << "Could not retrieve account information. Please try again later.";
        QTest::newRow("groups") << "authGroupsGet"
                                << "";
    }
    void failingAccountRequestsEndTheProgram()
    {
        QFETCH(QString, operation);
        QFETCH(QString, text);
        startSimulator();
        sim->failNext(operation, 1, 500);
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        startConsole();
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes.value(0, -99), 0, 10000);
        QCOMPARE(prompt->titles(Kind::Critical), QStringList{"Login Error"});
        if (!text.isEmpty())
            QCOMPARE(prompt->texts(Kind::Critical), QStringList{text});
    }

    void storageConfigurationFromGroups()
    {
        // MinIO with static credentials: no token is asked for.
        startSimulator();
        loginAs(QStringLiteral("mia"), QStringLiteral("mia-demo"));
        QCOMPARE(window->session().storageMode, int(Zelt_LoginData::MinIO));
        QVERIFY(!window->session().storageUser.isEmpty());
        QVERIFY(!window->session().storageAddress.isEmpty());
        QCOMPARE(window->session().storageFolder, QStringLiteral("northwind"));
        QCOMPARE(requestCount("s3TempAccessKey"), 0);
        QCOMPARE(tabTitles(), (QStringList{"S3", "Asset Bundles"}));
        cleanup();
        init();

        // Nextcloud keeps the Nextcloud tab only.
        startSimulator();
        loginAs(QStringLiteral("nico"), QStringLiteral("nico-demo"));
        QCOMPARE(window->session().storageMode, int(Zelt_LoginData::NextCloud));
        QCOMPARE(tabTitles(), (QStringList{"NextCloud", "Asset Bundles"}));
        QCOMPARE(requestCount("s3TempAccessKey"), 0);
        cleanup();
        init();

        // Amazon S3 through the service's temporary credentials.
        startSimulator();
        loginAs(QStringLiteral("sven"), QStringLiteral("sven-demo"));
        QTRY_VERIFY_WITH_TIMEOUT(!window->session().storageSessionToken.isEmpty(), 10000);
        QCOMPARE(requestCount("s3TempAccessKey"), 1);
    }

    void storageGroupRules()
    {
        // The later of two S3_Config groups wins; an empty value list gives an empty field;
        // a Modus the console does not know leaves no storage, and the console warns.
        startSimulator({}, [](QJsonObject &fixture) {
            QJsonArray groups = fixture.value(QStringLiteral("groups")).toArray();
            for (int index = 0; index < groups.size(); ++index) {
                QJsonObject group = groups.at(index).toObject();
                if (group.value(QStringLiteral("name")) != QStringLiteral("Customer Acme"))
                    continue;
                QJsonArray subGroups = group.value(QStringLiteral("subGroups")).toArray();
                subGroups.append(QJsonObject{
                    {QStringLiteral("id"), QStringLiteral("second-config")},
                    {QStringLiteral("name"), QStringLiteral("s3_config_legacy")},
                    {QStringLiteral("attributes"),
                     QJsonArray{
                         QJsonObject{{QStringLiteral("key"), QStringLiteral("modus")},
                                     {QStringLiteral("value"), QJsonArray{QStringLiteral("FTP")}}},
                         QJsonObject{{QStringLiteral("key"), QStringLiteral("Folder")},
                                     {QStringLiteral("value"), QJsonArray{}}}}},
                    {QStringLiteral("subGroups"), QJsonArray{}}});
                group.insert(QStringLiteral("subGroups"), subGroups);
                groups.replace(index, group);
            }
            fixture.insert(QStringLiteral("groups"), groups);
        });
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QCOMPARE(window->session().storageMode, int(Zelt_LoginData::NoStorage));
        QCOMPARE(window->session().storageFolder, QString());
        QCOMPARE(prompt->titles(Kind::Warning), QStringList{"No Storage Configuration"});
        QCOMPARE(prompt->texts(Kind::Warning),
                 QStringList{"Your Account is missing storage configuration. Please ask your "
                             "administrator to configure storage access for you."});
        QCOMPARE(tabTitles(), (QStringList{"S3", "NextCloud", "Asset Bundles"}));
    }

    void accountWithoutStorageGroupIsRefused()
    {
        startSimulator();
        login->typeCredentials(QStringLiteral("otto"), QStringLiteral("otto-demo"));
        login->cancel();
        startConsole();
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes, QList<int>{0}, 10000);
        QCOMPARE(prompt->titles(Kind::Critical), QStringList{"ERROR"});
        QVERIFY(!window->session().loggedIn);
    }

    void serviceDownAtStartShowsRedAndAsksForLogin()
    {
        // Nothing listens: the versions request fails, the login opens and cannot succeed.
        login->cancel();
        startConsole();
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes, QList<int>{0}, 10000);
        QCOMPARE(login->dialogsSeen(), 1);
        QVERIFY(showsLamp(QStringLiteral("red")));
    }

    void threeFailedListingsEndTheProgram()
    {
        startSimulator();
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        // Every listing fails from now on; at the third failure in a row the console gives up.
        sim->failNext(QStringLiteral("serviceMeetings"), 100, 503);
        for (int poll = 0; poll < 3; ++poll) {
            // A poll asks nothing again that is still unanswered.
            QTRY_VERIFY_WITH_TIMEOUT(networkIdle(), 10000);
            const int before = requestCount("serviceMeetings");
            window->onMeetingStatusTimer();
            QTRY_VERIFY_WITH_TIMEOUT(requestCount("serviceMeetings") > before, 10000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes, QList<int>{0}, 10000);
        QCOMPARE(prompt->titles(Kind::Critical), QStringList{"Cannot connect to service"});
        QVERIFY(!window->isStatusTimerActive());
    }

    void refusedTokenIsRefreshedOnceAndTheRequestsRepeated()
    {
        startSimulator();
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QTRY_VERIFY_WITH_TIMEOUT(networkIdle(), 10000);
        // The access token dies long before its time; the refresh token still works.
        QVERIFY(sim->expireAccessTokens(QStringLiteral("anna")));
        const int listings = requestCount("serviceMeetings");
        for (int poll = 0; poll < 3; ++poll) {
            window->onMeetingStatusTimer();
            QTRY_VERIFY_WITH_TIMEOUT(networkIdle(), 10000);
        }
        QCOMPARE(requestCount("authRefreshPost"), 1);
        // The refused listing once more, then one per poll.
        QCOMPARE(requestCount("serviceMeetings"), listings + 4);
        QVERIFY(showsLamp(QStringLiteral("green")));
        QVERIFY(!exits->exited() && prompt->shown.isEmpty());
    }

    void stalledServiceTurnsTheLampRedWithoutPilingUpRequests()
    {
        startSimulator();
        FaultProxy service(sim->port());
        QVERIFY(service.start());
        const QString ini = writeIni(sim->baseUrl());
        {
            QSettings settings(ini, QSettings::IniFormat);
            settings.setValue(QStringLiteral("Zelt_Service/host"), service.url());
            settings.setValue(QStringLiteral("Zelt_Console/replytimeout"), 1);
        }
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        startConsoleWith(ini);
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn && networkIdle(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(showsLamp(QStringLiteral("green")), 10000);
        const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
        const auto filesBefore = openFiles();

        // From now on the service takes every request and never answers.
        service.spoilEvery(1, FaultProxy::Fault::Hold);
        const auto listed = [&service] {
            const auto lines = service.requestLines();
            return std::count(lines.begin(), lines.end(), QByteArray("GET /zelt/svc/meetings"));
        };
        const auto listingsBefore = listed();
        for (int poll = 0; poll < 20; ++poll)
            window->onMeetingStatusTimer();
        const auto &pool = Zelt_Common_API::ZeltRequestPool::instance();
        // The poll's three questions at most, each on a connection through the proxy (three files).
        QVERIFY(pool.inFlight() + pool.waiting() <= 3);
        QVERIFY2(openFiles() <= filesBefore + 9, qPrintable(QString::number(openFiles())));
        QTRY_VERIFY_WITH_TIMEOUT(showsLamp(QStringLiteral("red")), 10000);

        // Polls go on while it stays silent; the third listing in a row that times out ends the
        // program, as any failed listing would.
        QTimer polls;
        connect(&polls, &QTimer::timeout, window.get(), &Zelt_ServerApp::onMeetingStatusTimer);
        // Stopped where the console stops its own polls.
        connect(window->liveInfo(), &Zelt_MeetingsInfoThread::stopThread, &polls, &QTimer::stop);
        polls.start(100);
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes, QList<int>{0}, 20000);
        QCOMPARE(listed() - listingsBefore, 3);
        QCOMPARE(prompt->titles(Kind::Critical), QStringList{"Cannot connect to service"});
    }

    void tokenIsRefreshedTwentySecondsAhead_data()
    {
        QTest::addColumn<int>("lifetime");
        QTest::addColumn<int>("refreshes");
        QTest::newRow("25 s left: not yet") << 25 << 0;
        QTest::newRow("20 s left: refreshed") << 20 << 1;
    }
    void tokenIsRefreshedTwentySecondsAhead()
    {
        QFETCH(int, lifetime);
        SimulatorConfig config;
        config.tokenLifetime = lifetime;
        startSimulator(config);
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        startConsole();
        QSignalSpy tokens(window->liveInfo(), &Zelt_MeetingsInfoThread::tokenChanged);
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        // The first poll, and the one that follows the meeting list.
        QTRY_VERIFY_WITH_TIMEOUT(requestCount("serviceStatus") > 0 && networkIdle(), 10000);
        // The session's token is announced once, and once more with every refresh that is in.
        if (lifetime <= 20)
            QTRY_VERIFY_WITH_TIMEOUT(requestCount("authRefreshPost") > 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(tokens.count(), 1 + requestCount("authRefreshPost"), 10000);
        const int before = requestCount("authRefreshPost");
        const int statusBefore = requestCount("serviceStatus");

        // Two polls in a row: the second finds the first one's requests and refresh still on
        // their way and asks nothing again.
        window->onMeetingStatusTimer();
        window->onMeetingStatusTimer();
        QTRY_VERIFY_WITH_TIMEOUT(networkIdle(), 10000);
        QCOMPARE(requestCount("serviceStatus"), statusBefore + 1);
        // Requests travel on parallel connections: the refresh may arrive after the status.
        QFETCH(int, refreshes);
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("authRefreshPost"), before + refreshes, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(tokens.count(), 1 + before + refreshes, 10000);
        QCOMPARE(requestCount("authRefreshPost"), before + refreshes);
    }

    void deadSessionLeadsToNewLogin()
    {
        SimulatorConfig config;
        config.tokenLifetime = 15;
        startSimulator(config);
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        login->typeCredentials(QStringLiteral("ignored"), QStringLiteral("anna-demo"));
        startConsole();
        QSignalSpy tokens(window->liveInfo(), &Zelt_MeetingsInfoThread::tokenChanged);
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        // The first poll refreshed the token (announced after the session's own); then the
        // session dies for good and the next poll's refresh is refused.
        // (Every poll refreshes a 15 s token: a slow machine may have polled more than once.)
        QTRY_VERIFY_WITH_TIMEOUT(tokens.count() >= 2, 10000);
        const QString firstToken = window->session().accessToken;
        QVERIFY(sim->endSessions(QStringLiteral("anna")));
        sim->setTokenLifetime(300);
        window->onMeetingStatusTimer();

        QTRY_COMPARE_WITH_TIMEOUT(login->dialogsSeen(), 2, 10000);
        QCOMPARE(prompt->titles(Kind::Information), QStringList{"Session expired"});
        QCOMPARE(prompt->texts(Kind::Information),
                 QStringList{"Your session has expired. Please perform a new Login."});
        // The second dialog had the user locked in; the program goes on with a new session.
        QCOMPARE(login->lastUserField(), QStringLiteral("anna"));
        QVERIFY(!login->lastUserFieldEditable());
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        QVERIFY(window->session().accessToken != firstToken);
        QVERIFY(window->isStatusTimerActive());
        QVERIFY(!exits->exited());
    }

    void storageCredentialsAreRenewedBeforeTheyExpire_data()
    {
        QTest::addColumn<int>("lifetime");
        QTest::addColumn<int>("requests");
        // The expiry travels with whole seconds; the exact boundary is checked without a clock.
        QTest::newRow("70 s left: kept") << 70 << 1;
        QTest::newRow("50 s left: renewed") << 50 << 2;
    }
    void storageCredentialsAreRenewedBeforeTheyExpire()
    {
        QFETCH(int, lifetime);
        SimulatorConfig config;
        config.storageTokenLifetime = lifetime;
        startSimulator(config);
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QTRY_VERIFY_WITH_TIMEOUT(!window->session().storageSessionToken.isEmpty(), 10000);
        QCOMPARE(requestCount("s3TempAccessKey"), 1);

        // The first poll, and the one that follows the meeting list.
        QTRY_VERIFY_WITH_TIMEOUT(requestCount("serviceStatus") > 0 && networkIdle(), 10000);
        const int statusBefore = requestCount("serviceStatus");
        window->onMeetingStatusTimer();
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("serviceStatus"), statusBefore + 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("s3TempAccessKey"), lifetime < 60 ? 2 : 1, 10000);
        QTEST(requestCount("s3TempAccessKey"), "requests");
    }

    void unusableStorageCredentialsDisableTheBrowser()
    {
        startSimulator();
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QTRY_VERIFY_WITH_TIMEOUT(!window->session().storageSessionToken.isEmpty(), 10000);
        window->setS3Token(Zelt_Service_API::ZeltS3TempAccessKey(
            QStringLiteral(R"({"AccessKeyId":"k","Arn":"FTP"})")));
        QCOMPARE(prompt->titles(Kind::Critical), QStringList{"S3 Login Data"});
        QVERIFY(!child<QWidget>("tabS3")->isEnabled());
    }

    void administratorGetsWholeBucketAndExtraButtons()
    {
        startSimulator();
        loginAs(QStringLiteral("vera"), QStringLiteral("vera-demo"));
        QTRY_VERIFY_WITH_TIMEOUT(!window->session().storageSessionToken.isEmpty(), 10000);
        QCOMPARE(window->session().storageFolder, QString());
        for (const char *button : {"btnProperties", "btnExport", "btnImport"})
            QVERIFY2(child<QPushButton>(button)->isVisibleTo(window.get()), button);
    }

    void assetBundleTabFollowsServiceVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("kept");
        QTest::newRow("2.0.29") << "2.0.29" << false;
        QTest::newRow("2.0.30") << "2.0.30" << true;
        QTest::newRow("2.1.0") << "2.1.0" << true;
    }
    void assetBundleTabFollowsServiceVersion()
    {
        QFETCH(QString, version);
        QFETCH(bool, kept);
        startSimulator();
        sim->setServiceVersion(version);
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QTRY_COMPARE_WITH_TIMEOUT(
            tabTitles().contains(QStringLiteral("Asset Bundles")) &&
                !child<QWidget>("tabBundles")->testAttribute(Qt::WA_ForceDisabled),
            kept, 10000);
        // Decided once: the status replies that follow change nothing.
        QTRY_VERIFY_WITH_TIMEOUT(networkIdle(), 10000);
        const int statusReplies = requestCount("serviceStatus");
        window->onMeetingStatusTimer();
        QTRY_VERIFY_WITH_TIMEOUT(requestCount("serviceStatus") > statusReplies, 10000);
        QCOMPARE(tabTitles().contains(QStringLiteral("Asset Bundles")), kept);
        // The storage tab itself always stays.
        QVERIFY(tabTitles().contains(QStringLiteral("S3")));
    }

    void updateOfferFollowsVersionOrder_data()
    {
        QTest::addColumn<QList<int>>("published");
        QTest::addColumn<bool>("offered");
        QTest::newRow("same 3.1.2") << QList<int>{3, 1, 2} << false;
        QTest::newRow("older 3.0.99") << QList<int>{3, 0, 99} << false;
        QTest::newRow("two numbers 3.1 = 3.1.0") << QList<int>{3, 1} << false;
        QTest::newRow("newer 3.2.0") << QList<int>{3, 2, 0} << true;
        QTest::newRow("newer patch 3.1.3") << QList<int>{3, 1, 3} << true;
    }
    void updateOfferFollowsVersionOrder()
    {
        QFETCH(QList<int>, published);
        QFETCH(bool, offered);
        startSimulator();
        sim->setPublishedVersion(QStringLiteral("Console"), published);
        prompt->answerButton(Prompt::No);
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QCOMPARE(prompt->titles(Kind::Question).size(), offered ? 1 : 0);
        if (offered) {
            QCOMPARE(prompt->titles(Kind::Question), QStringList{"New Console Version available"});
            QStringList numbers;
            for (int part : published)
                numbers << QString::number(part);
            QCOMPARE(prompt->texts(Kind::Question),
                     QStringList{QStringLiteral("A new Vorel Console Version (%1) is available. "
                                                "Do you want to update now?")
                                     .arg(numbers.join('.'))});
        }
        // Declined or not offered: the session starts as usual.
        QVERIFY(!exits->exited());
    }

    void updateCheckFromTheMenuAlwaysAnswers_data()
    {
        QTest::addColumn<QList<int>>("published");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("title");
        QTest::newRow("same version") << QList<int>{3, 1, 2} << false << "Up to date";
        QTest::newRow("none published") << QList<int>{} << false << "Up to date";
        QTest::newRow("request fails") << QList<int>{3, 1, 2} << true << "Update check failed";
    }
    void updateCheckFromTheMenuAlwaysAnswers()
    {
        QFETCH(QList<int>, published);
        QFETCH(bool, fails);
        startSimulator();
        sim->setPublishedVersion(QStringLiteral("Console"), published);
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QVERIFY(prompt->shown.isEmpty());
        if (fails)
            sim->failNext(QStringLiteral("serviceVersions"), 1, 503);
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_actionUpdate_triggered"));
        QTRY_COMPARE_WITH_TIMEOUT(prompt->shown.size(), 1, 10000);
        QTEST(prompt->shown.first().title, "title");
        if (prompt->shown.first().kind == Kind::Information)
            QCOMPARE(prompt->shown.first().text,
                     QStringLiteral("You already have the newest Version (3.1.2) installed."));
        // Only when asked for: the periodic start-up check stays silent.
        QCOMPARE(login->dialogsSeen(), 1);
    }

    void acceptedUpdateIsDownloadedStartedAndEndsTheConsole()
    {
        startSimulator();
        sim->setPublishedVersion(QStringLiteral("Console"), {3, 2, 0});
        RecordingLauncher launcher;
        prompt->answerButton(Prompt::Yes);
        startConsole();
        QTRY_COMPARE_WITH_TIMEOUT(exits->codes, QList<int>{0}, 10000);

        const QString installer = QDir::tempPath() + QStringLiteral("/VorelConsoleSetup-3.1.2.exe");
        QCOMPARE(launcher.started, QStringList{installer});
        QFile file(installer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("3.2.0 installed"));
        QVERIFY(file.permissions() & QFileDevice::ExeOwner);
        file.remove();
        // The console ended before any login.
        QCOMPARE(login->dialogsSeen(), 0);
    }

    void failedUpdateDownloadsFallBackToTheNormalStart_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("writableTemp");
        QTest::newRow("redirect") << 302 << true;
        QTest::newRow("server error") << 500 << true;
        QTest::newRow("temporary folder is a file") << 200 << false;
        QTest::newRow("temporary folder missing") << 200 << false;
    }
    void failedUpdateDownloadsFallBackToTheNormalStart()
    {
        QFETCH(int, status);
        QFETCH(bool, writableTemp);
        RecordingHttpServer downloads;
        QVERIFY(downloads.listen());
        RecordingHttpServer::Reply reply;
        reply.status = status;
        reply.body = "installer";
        if (status == 302)
            reply.headers = {{"Location", downloads.url().toUtf8() + "/elsewhere"}};
        downloads.setReply(reply);

        startSimulator();
        sim->setPublishedVersion(QStringLiteral("Console"), {4, 0, 0},
                                 downloads.url() + QStringLiteral("/setup/"));
        RecordingLauncher launcher;
        prompt->answerButton(Prompt::Yes);
        login->typeCredentials(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        const QByteArray oldTemp = qgetenv("TMPDIR");
        if (!writableTemp) {
            // Either way there is no folder to write the installer into.
            QString notAFolder = dir->filePath(QStringLiteral("plain-file"));
            QFile(notAFolder).open(QIODevice::WriteOnly);
            if (QByteArray(QTest::currentDataTag()).contains("missing"))
                notAFolder = dir->filePath(QStringLiteral("missing/folder"));
            qputenv("TMPDIR", notAFolder.toUtf8());
        }
        startConsole();
        QTRY_COMPARE_WITH_TIMEOUT(prompt->titles(Kind::Warning), QStringList{"Update failed"},
                                  10000);
        qputenv("TMPDIR", oldTemp);
        QCOMPARE(prompt->texts(Kind::Warning),
                 QStringList{"Update download process failed. Please try again later."});
        QVERIFY(launcher.started.isEmpty());
        // The redirect was not followed, and the normal start goes on with the login.
        QCOMPARE(downloads.requests().size(), 1);
        QCOMPARE(downloads.requests().first().target, QByteArray("/setup/"));
        QTRY_VERIFY_WITH_TIMEOUT(window->session().loggedIn, 10000);
        QVERIFY(!exits->exited());
    }

    void installerNameComesFromTheUrl()
    {
        login->cancel();
        startConsole();
        QCOMPARE(window->saveFileName(QUrl("http://h/dl/VorelSetup-4.0.exe")),
                 QStringLiteral("VorelSetup-4.0.exe"));
        QCOMPARE(window->saveFileName(QUrl("http://h/dl/")), QStringLiteral("download"));
        QCOMPARE(window->saveFileName(QUrl("http://h")), QStringLiteral("download"));
    }

    void inactivityFreezesOnlyIdleSessionsWithoutTransfers()
    {
        startSimulator();
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        const QString title = window->windowTitle();

        window->onUserInactive();
        QVERIFY(window->isInactive());
        QVERIFY(!window->isEnabled());
        QCOMPARE(window->windowTitle(), title + QStringLiteral(" - INACTIVE"));
        QVERIFY(!window->isStatusTimerActive());

        window->onUserActive();
        QVERIFY(!window->isInactive());
        QVERIFY(window->isEnabled());
        QCOMPARE(window->windowTitle(), title);
        QVERIFY(window->isStatusTimerActive());

        // A running transfer switches the freeze off and thaws a frozen window.
        window->onUserInactive();
        window->setInactivityOff();
        QVERIFY(!window->isInactive());
        window->onUserInactive();
        QVERIFY(!window->isInactive());
        window->setInactivityOn();
        window->onUserInactive();
        QVERIFY(window->isInactive());
        window->onUserActive();

        // Someone working in the window is never idle.
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->onUserInactive();
        QVERIFY(!window->isInactive());
        QCOMPARE(window->windowTitle(), title);
    }

    void inactivityNeedsASession()
    {
        startSimulator();
        login->cancel();
        startConsole();
        window->onUserInactive();
        QVERIFY(!window->isInactive());
    }

    void closeSavesWindowStateButQuitDoesNot()
    {
        startSimulator();
        loginAs(QStringLiteral("anna"), QStringLiteral("anna-demo"));
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_actionQuit_triggered"));
        QCOMPARE(exits->codes, QList<int>{0});
        QVERIFY(!windowSettings().contains(QStringLiteral("MainWindow/geometry")));

        window->show();
        window->move(140, 90);
        window->resize(1000, 700);
        child<QDockWidget>("dckProgress")->show();
        window->close();
        QSettings settings = windowSettings();
        QVERIFY(settings.contains(QStringLiteral("MainWindow/geometry")));
        QVERIFY(settings.contains(QStringLiteral("MainWindow/windowState")));
        QCOMPARE(settings.value(QStringLiteral("MainWindow/queuevisible")).toBool(), true);
    }

    void windowStateIsRestoredAsConfigured()
    {
        startSimulator();
        {
            QSettings settings = windowSettings();
            QMainWindow shape;
            shape.move(300, 200);
            shape.resize(1111, 777);
            settings.setValue(QStringLiteral("MainWindow/geometry"), shape.saveGeometry());
            settings.setValue(QStringLiteral("MainWindow/queuevisible"), true);
        }
        login->cancel();
        startConsole(true);
        QCOMPARE(window->size(), QSize(1111, 777));
        QVERIFY(child<QDockWidget>("dckProgress")->isVisibleTo(window.get()));
        window.reset();

        login->cancel();
        startConsole(false);
        QCOMPARE(window->pos(), QPoint(100, 50));
        QCOMPARE(window->size(), QSize(900, 650));
        QVERIFY(child<QDockWidget>("dckProgress")->isVisibleTo(window.get()));
    }

    void queueButtonAndDockFollowEachOther()
    {
        login->cancel();
        startConsole();
        window->show();
        auto *button = child<QPushButton>("btnQueue");
        auto *dock = child<QDockWidget>("dckProgress");
        button->click();
        QVERIFY(dock->isVisible());
        dock->close();
        QVERIFY(!button->isChecked());
    }

    void statusBarShowsTransfer_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("object");
        QTest::addColumn<qlonglong>("size");
        QTest::addColumn<qlonglong>("progress");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("nothing") << -1 << "" << 0LL << 0LL << 0
                                 << QStringList{"", "", "Completed: 0 KB", "Size: 0 KB",
                                                "Speed: 0 KByte/s"};
        QTest::newRow("KB boundary") << 0 << "a/b/c.txt" << 1024LL * 1024 << 1023LL * 1024 << 1536
                                     << QStringList{"Uploading:", "c.txt", "Completed: 1023 KB",
                                                    "Size: 1.00 MB", "Speed: 1.5 KByte/s"};
        QTest::newRow("GB sizes") << 1 << "movie.mp4" << 5LL * 1024 * 1024 * 1024
                                  << 1024LL * 1024 * 1024 << 3 * 1024 * 1024
                                  << QStringList{"Downloading:", "movie.mp4", "Completed: 1.00 GB",
                                                 "Size: 5.00 GB", "Speed: 3.00 MByte/s"};
        QTest::newRow("delete") << 2 << "x/y" << 0LL << 0LL << 0
                                << QStringList{"Deleting:", "y", "Completed: 0 KB", "Size: 0 KB",
                                               "Speed: 0 KByte/s"};
        QTest::newRow("size query")
            << 3 << "k" << 0LL << 0LL << 0
            << QStringList{"Size Query:", "k", "Completed: 0 KB", "Size: 0 KB", "Speed: 0 KByte/s"};
    }
    void statusBarShowsTransfer()
    {
        QFETCH(int, mode);
        QFETCH(QString, object);
        QFETCH(qlonglong, size);
        QFETCH(qlonglong, progress);
        QFETCH(int, speed);
        login->cancel();
        startConsole();
        showProgress(mode, object, size, progress, speed);
        QTEST(statusBarTexts(), "texts");
    }

    void progressBarScalesSizesAboveIntRange()
    {
        login->cancel();
        startConsole();
        auto *bar = window->findChild<QProgressBar *>(QStringLiteral("transferProgressBar"));
        const qlonglong size = 5LL * 1024 * 1024 * 1024; // needs one division by ten
        showProgress(1, QStringLiteral("big.bin"), size, size / 2, 0);
        QCOMPARE(bar->maximum(), int(size / 10));
        QCOMPARE(bar->value(), int(size / 2 / 10));
        showProgress(-1, QString(), 0, 0, 0);
        QCOMPARE(bar->maximum(), 1);
        QCOMPARE(bar->value(), 0);
    }

    void queueTableShowsEntries()
    {
        login->cancel();
        startConsole();
        QList<Zelt_S3::fileEntry> files{{Zelt_S3::fileEntry::InProgress, Zelt_S3::fileEntry::Upload,
                                         "b", "acme/docs/a.pdf", "/home/u/a.pdf", 2048, "", false},
                                        {Zelt_S3::fileEntry::Queued, Zelt_S3::fileEntry::Download,
                                         "b", "top.txt", "C:\\data\\top.txt", 3LL * 1024 * 1024, "",
                                         false},
                                        {Zelt_S3::fileEntry::Failed, Zelt_S3::fileEntry::Delete,
                                         "b", "gone", "", 0, "Access Denied", false}};
        QVERIFY(QMetaObject::invokeMethod(window.get(), "onUpdateQueue",
                                          Q_ARG(QList<Zelt_S3::fileEntry>, files)));
        auto *table = window->findChild<QTableWidget *>(QStringLiteral("tblProgress"));
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(2, 3)->toolTip(), QStringLiteral("Access Denied"));
        const auto row = [table](int r) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << table->item(r, c)->text();
            return cells;
        };
        QCOMPARE(row(0),
                 (QStringList{"↑", "a.pdf", "2 KB", "In Progress", "acme/docs/a.pdf", "/home/u"}));
        QCOMPARE(row(1), (QStringList{"↓", "top.txt", "3.00 MB", "Queued", "top.txt", "C:\\data"}));
        QCOMPARE(row(2), (QStringList{"X", "gone", "0 KB", "Failed", "gone", ""}));
        QCOMPARE(table->rowHeight(0), 20);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
