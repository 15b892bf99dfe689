// The Nextcloud browser: its PROPFIND reader against Nextcloud's own replies (fixtures), and
// the browser itself refreshing through the real curl from webdav-server, with what curl was
// given and what reached the log.
#include "ConsoleHarness.h"
#include "LogCategories.h"
#include "NextCloudQuery.h"
#include "NextCloudTree.h"
#include "ProcessLauncher.h"
#include "PropfindReply.h"
#include "ScriptedPrompt.h"
#include "TestPaths.h"
#include "WebDavPeer.h"
#include "Zelt_NextCloud.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The messages of the "NCL   " category while it lives: all of them, and the critical ones.
class NclLog
{
public:
    NclLog()
    {
        active = this;
        QLoggingCategory::setFilterRules(QStringLiteral("NCL   .debug=true"));
        previous = qInstallMessageHandler(&NclLog::handle);
    }
    ~NclLog()
    {
        qInstallMessageHandler(previous);
        active = nullptr;
    }

    QStringList all;
    QStringList critical;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (active && qstrcmp(context.category, "NCL   ") == 0) {
            active->all.append(text);
            if (type == QtCriticalMsg)
                active->critical.append(text);
        }
        (active ? active->previous : qt_message_output)(type, context, text);
    }

    static inline NclLog *active = nullptr;
    QtMessageHandler previous = nullptr;
};

QString fixture(const QString &name)
{
    return TestPaths::sourceDir() + QStringLiteral("/tests/storage/fixtures/") + name;
}

// Shell text that would leave a file behind if anything ran the fields through a shell.
QString hostile(const QString &marker)
{
    return QStringLiteral("a \"b\" ;c $(touch %1)").arg(marker);
}

// Watches what is started and starts it for real.
class RecordingLauncher : public ProcessLauncher
{
public:
    RecordingLauncher() { ProcessLauncher::setCurrent(this); }
    ~RecordingLauncher() override { ProcessLauncher::setCurrent(nullptr); }

    ProcessRun *start(const QString &program, const QStringList &arguments, int timeoutMs,
                      const QString &outputFile, QObject *parent) override
    {
        programs.append(program);
        argumentLists.append(arguments);
        return ProcessLauncher::start(program, arguments, timeoutMs, outputFile, parent);
    }

    QStringList programs;
    QList<QStringList> argumentLists;
};

} // namespace

class tst_NextCloud : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsNextcloudListing_data();
    void readsNextcloudListing();
    void failedRepliesGiveNoTree_data();
    void failedRepliesGiveNoTree();
    void timedOutRunIsKilled();

    void refreshShowsTheUsersFoldersUntilThePasswordIsWrong();
    void hostileFieldsReachCurlIntact_data();
    void hostileFieldsReachCurlIntact();

    void presenterAddsANextcloudFileToAMeeting();

private:
    QTreeWidget *tree() const { return browser->findChild<QTreeWidget *>("treeWidget"); }
    QTableWidget *table() const { return browser->findChild<QTableWidget *>("tableWidget"); }
    QLineEdit *field(const char *name) const { return browser->findChild<QLineEdit *>(name); }
    QToolButton *refreshButton() const { return browser->findChild<QToolButton *>("btnRefresh"); }
    void fill(const QString &url, const QString &user, const QString &pass);
    bool refreshed(const std::function<void()> &trigger);

    QTemporaryDir files;
    QTemporaryDir scratch;
    QString marker;
    QString password;
    WebDavPeer peer;
    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<NclLog> log;
    std::unique_ptr<Zelt_NextCloud> browser;
};

void tst_NextCloud::initTestCase()
{
    QVERIFY(files.isValid() && scratch.isValid());
    marker = scratch.filePath(QStringLiteral("injected"));
    password = QStringLiteral("se cr\"et ;$(touch %1)").arg(marker);
    const QDir root(files.path());
    QVERIFY(root.mkpath(QStringLiteral("Meeting Notes")) && root.mkpath(QStringLiteral("Bücher")) &&
            root.mkpath(QStringLiteral("Models")));
    const auto write = [&](const QString &path, qint64 size) {
        QFile file(root.filePath(path));
        return file.open(QIODevice::WriteOnly) && file.resize(size); // sparse: no 3 GiB written
    };
    QVERIFY(write(QStringLiteral("Meeting Notes/Welcome note.txt"), 42));
    QVERIFY(write(QStringLiteral("Bücher/Leseliste.txt"), 1234567));
    QVERIFY(write(QStringLiteral("Models/scene.bin"), 3221225472LL));
    QVERIFY(write(QStringLiteral("Readme.md"), 120));
    QVERIFY2(peer.start(files.path(), QStringLiteral("nico"), password),
             qPrintable(peer.errorString()));
}

void tst_NextCloud::init()
{
    prompt = std::make_unique<ScriptedPrompt>();
    log = std::make_unique<NclLog>();
    browser = std::make_unique<Zelt_NextCloud>();
    browser->show();
}

void tst_NextCloud::cleanup()
{
    browser.reset();
    const QString logged = log->all.join('\n');
    log.reset();
    const bool prompted = !prompt->shown.isEmpty();
    prompt.reset();
    // The password's start survives any quoting of the log line.
    QVERIFY2(!logged.contains("se cr"), "the password reached the log");
    QVERIFY2(!prompted, "a message box was shown");
    QVERIFY2(!QFile::exists(marker), "a field's text was run as a command");
}

// --- The reader ---

void tst_NextCloud::readsNextcloudListing_data()
{
    QTest::addColumn<QString>("folder"); // below the user's root, "/"-joined
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("size"); // -1: not listed
    QTest::addColumn<QString>("megabytes");
    const auto row = [](const char *name, const QString &folder, const QString &file, qint64 size,
                        const QString &megabytes) {
        QTest::newRow(name) << folder << file << size << megabytes;
    };
    row("blank as %20", "Meeting Notes", "Welcome note.txt", 42, "0.00");
    row("lowercase UTF-8 percent-encoding", "Bücher", "Leseliste.txt", 1234567, "1.23");
    row("unicode names", "資料", "Übersicht € (2024).pdf", 2500000, "2.50");
    row("3 GiB", "Models", "scene.bin", 3221225472LL, "3221.23");
    row("top folder", "", "Readme.md", 120, "0.00");
    row("negative length read as none", "", "Broken.bin", 0, "0.00");
    row("at the depth", "a/b/c/d/e/f/g/h/i", "ten.txt", 10, "0.00");
    row("deeper than the depth", "a/b/c/d/e/f/g/h/i/j", "eleven.txt", -1, "");
}

void tst_NextCloud::readsNextcloudListing()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(qint64, size);
    QFETCH(QString, megabytes);

    const auto nodes = PropfindReply::readFile(fixture(QStringLiteral("listing.xml")));
    QVERIFY(nodes);
    const NextCloudTree tree =
        NextCloudTree::fromNodes(*nodes, "nico", "https://cloud.example", 10);
    // Each folder's path below the root, from its parents' names.
    QStringList paths;
    for (const NextCloudTree::Folder &each : tree.folders)
        paths.append(each.parent <= 0 ? each.name : paths.at(each.parent) + '/' + each.name);
    QCOMPARE(paths.count(folder), 1);

    QJsonObject found;
    for (const QJsonValue &each : tree.folders.at(paths.indexOf(folder)).files)
        if (each.toObject().value("name").toString() == file)
            found = each.toObject();
    if (size < 0) {
        QVERIFY(found.isEmpty());
        return;
    }
    const QString path = "/remote.php/dav/files/nico/" + (folder.isEmpty() ? "" : folder + '/');
    QCOMPARE(found, (QJsonObject{{"name", file},
                                 {"size", QString::number(size)},
                                 {"path", path + file},
                                 {"url", "https://cloud.example"}}));
    QCOMPARE(NextCloudTree::megabytesText(size), megabytes);
}

void tst_NextCloud::failedRepliesGiveNoTree_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QStringList>("logged");

    QTest::newRow("error document")
        << fixture("not-authenticated.xml")
        << QStringList{"Sabre\\DAV\\Exception\\NotAuthenticated",
                       "No public access to this resource., Username or password was incorrect, "
                       "Username or password was incorrect"};
    QTest::newRow("HTML page") << fixture("maintenance.html")
                               << QStringList{"Cloud result is not a WebDAV listing: <html>"};
    QTest::newRow("malformed XML")
        << fixture("truncated.xml") << QStringList{"Cloud Error = 4 Premature end of document."};
    QTest::newRow("no output") << fixture("missing.xml")
                               << QStringList{"Cloud result doesn't exist!"};
}

void tst_NextCloud::failedRepliesGiveNoTree()
{
    QFETCH(QString, reply);
    QFETCH(QStringList, logged);
    QVERIFY(!PropfindReply::readFile(reply));
    QCOMPARE(log->critical, logged);
}

void tst_NextCloud::timedOutRunIsKilled()
{
    ProcessRun *run = ProcessLauncher::current().start(
        QStringLiteral("sleep"), {QStringLiteral("30")}, 200, QString(), browser.get());
    std::optional<ProcessLauncher::Result> result;
    QEventLoop loop;
    connect(run, &ProcessRun::finished, &loop, [&](const ProcessLauncher::Result &reported) {
        result = reported;
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    QVERIFY(result);
    QVERIFY(result->started);
    QVERIFY(!result->finished);
}

// --- The browser ---

void tst_NextCloud::fill(const QString &url, const QString &user, const QString &pass)
{
    field("leUrl")->setText(url);
    field("leUser")->setText(user);
    field("lePass")->setText(pass);
}

bool tst_NextCloud::refreshed(const std::function<void()> &trigger)
{
    QSignalSpy done(browser.get(), &Zelt_NextCloud::refreshed);
    trigger();
    return !done.isEmpty() || done.wait(40000);
}

void tst_NextCloud::refreshShowsTheUsersFoldersUntilThePasswordIsWrong()
{
    fill(peer.url(), QStringLiteral("nico"), password);
    QVERIFY(refreshed([&] {
        refreshButton()->click();
        // curl runs while the window goes on; the refresh cannot be started twice.
        QVERIFY(!refreshButton()->isEnabled());
        QCOMPARE(browser->cursor().shape(), Qt::BusyCursor);
    }));
    QVERIFY(refreshButton()->isEnabled());
    QCOMPARE(browser->cursor().shape(), Qt::ArrowCursor);

    QCOMPARE(tree()->topLevelItemCount(), 1);
    QTreeWidgetItem *top = tree()->topLevelItem(0);
    QCOMPARE(top->text(0), QStringLiteral("NextCloud - nico"));
    QStringList folders;
    for (int i = 0; i < top->childCount(); ++i)
        folders.append(top->child(i)->text(0));
    folders.sort();
    QCOMPARE(folders, (QStringList{"Bücher", "Meeting Notes", "Models"}));
    const auto shows = [&](const QString &folder, const QString &file, const QString &size) {
        emit tree()->itemClicked(tree()->findItems(folder, Qt::MatchRecursive).value(0, top), 0);
        return table()->rowCount() == 1 && table()->item(0, 0)->text() == file &&
               table()->item(0, 1)->text() == size;
    };
    QVERIFY(shows("Meeting Notes", "Welcome note.txt", "0.00"));
    QVERIFY(shows("Bücher", "Leseliste.txt", "1.23"));
    QVERIFY(shows("Models", "scene.bin", "3221.23"));
    QVERIFY(log->all.contains(NextCloudQuery::curlProgram() + " -k -u nico:******** " + peer.url() +
                              "/remote.php/dav/files/nico -X PROPFIND -H \"Depth: 10\""));
    QVERIFY(log->critical.isEmpty());

    // webdav-server refuses with an empty body; Nextcloud would send an error document.
    field("lePass")->setText(QStringLiteral("wrong"));
    QVERIFY(refreshed([&] { QTest::keyClick(field("lePass"), Qt::Key_Return); }));
    QCOMPARE(tree()->topLevelItemCount(), 0);
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(log->critical,
             (QStringList{"Cloud result is empty!", "Cloud Error = 4 Premature end of document."}));
}

void tst_NextCloud::hostileFieldsReachCurlIntact_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("target"); // after the peer's address, when url is empty
    QTest::addColumn<bool>("listed");

    // The password is hostile in every row: the peer expects it. The target is encoded, since
    // curl refuses a raw blank.
    const QString encodedMarker = QString(marker).replace("/", "%2F");
    QTest::newRow("password") << ""
                              << "nico"
                              << "/remote.php/dav/files/nico" << true;
    QTest::newRow("user") << "" << hostile(marker)
                          << "/remote.php/dav/files/a%20%22b%22%20%3Bc%20%24%28touch%20" +
                                 encodedMarker + "%29"
                          << false;
    QTest::newRow("url") << "http://127.0.0.1:1/" + hostile(marker) << "nico"
                         << "http://127.0.0.1:1/a%20%22b%22%20;c%20$(touch%20" + marker +
                                ")/remote.php/dav/files/nico"
                         << false;
    // curl would take a target beginning with "-" for an option ("-o" writes a file).
    QTest::newRow("url read as an option") << "-o" + marker << "nico"
                                           << "" << false;
}

void tst_NextCloud::hostileFieldsReachCurlIntact()
{
    QFETCH(QString, url);
    QFETCH(QString, user);
    QFETCH(QString, target);
    QFETCH(bool, listed);
    if (url.isEmpty()) {
        url = peer.url();
        target.prepend(url);
    }

    RecordingLauncher launcher;
    fill(url, user, password);
    QVERIFY(refreshed([&] { QTest::keyClick(field("lePass"), Qt::Key_Return); }));

    QCOMPARE(tree()->topLevelItemCount(), listed ? 1 : 0);
    if (target.isEmpty()) {
        QVERIFY(launcher.argumentLists.isEmpty());
        QCOMPARE(log->critical, QStringList{"Cloud URL must not begin with \"-\""});
        return;
    }
    QCOMPARE(launcher.argumentLists, (QList<QStringList>{{"-k", "-u", user + ":" + password, target,
                                                          "-X", "PROPFIND", "-H", "Depth: 10"}}));
    QCOMPARE(launcher.programs, QStringList{NextCloudQuery::curlProgram()});
}

// nico's account keeps its files in Nextcloud: he lists them and double-clicks one into a
// meeting of his; the service receives the asset pointing at the file, with his account.
void tst_NextCloud::presenterAddsANextcloudFileToAMeeting()
{
    browser.reset();
    ConsoleHarness console;
    QVERIFY2(console.error().isEmpty(), qPrintable(console.error()));
    VorelSim::Meeting meeting = console.sim.state().meetings.value(QStringLiteral("acme02"));
    meeting.definition.insert("id", 99);
    meeting.definition.insert("meetingId", "Cloud01");
    meeting.definition.insert("creatorId", "4f3b2a10-7c6d-4e5f-9a8b-000000000006");
    meeting.definition.insert("creator", "nico");
    console.sim.state().meetings.insert(QStringLiteral("cloud01"), meeting);
    QVERIFY(console.signIn(QStringLiteral("nico")));

    auto *cloud = console.window->findChild<Zelt_NextCloud *>();
    QVERIFY(cloud);
    auto *tabs = console.child<QTabWidget>("tabBrowser");
    QVERIFY(tabs->indexOf(cloud) >= 0);
    QCOMPARE(tabs->indexOf(console.child<QWidget>("tabS3")), -1);
    auto *meetings = console.child<QTableWidget>("tblMeetings");
    QTRY_COMPARE_WITH_TIMEOUT(meetings->rowCount(), 1, 10000);
    meetings->selectRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(console.requestCount("meetingInfo") > 0, 10000);

    cloud->findChild<QLineEdit *>("leUrl")->setText(peer.url());
    cloud->findChild<QLineEdit *>("leUser")->setText(QStringLiteral("nico"));
    cloud->findChild<QLineEdit *>("lePass")->setText(password);
    QSignalSpy done(cloud, &Zelt_NextCloud::refreshed);
    cloud->findChild<QToolButton *>("btnRefresh")->click();
    QVERIFY(done.wait(40000));
    auto *folders = cloud->findChild<QTreeWidget *>("treeWidget");
    const auto books = folders->findItems("Bücher", Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(books.size(), 1);
    emit folders->itemClicked(books.first(), 0);

    auto *files = cloud->findChild<QTableWidget *>("tableWidget");
    QCOMPARE(files->rowCount(), 1);
    files->selectRow(0);
    console.prompt.answer(5); // the placeholder slot
    emit files->itemDoubleClicked(files->item(0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(console.requestCount("assetAdd"), 1, 10000);
    const QJsonObject asset =
        QJsonDocument::fromJson(
            console.sim.received(QStringLiteral("assetAdd")).first().request.body)
            .object();
    QCOMPARE(asset.value("Mode").toInt(), 0);
    QCOMPARE(asset.value("Id").toInt(), 22005);
    QCOMPARE(asset.value("Name").toString(), QStringLiteral("Leseliste.txt"));
    QCOMPARE(asset.value("StgRelPath").toString(),
             peer.url() + QStringLiteral("/remote.php/dav/files/nico/Bücher/Leseliste.txt"));
    QCOMPARE(asset.value("StgSize").toInteger(), 1234567);
    QCOMPARE(asset.value("StgCredentials").toObject(),
             (QJsonObject{{"User", "nico"}, {"Pass", password}}));
    QVERIFY(cloud->selectedItems().isEmpty());
}

QTEST_MAIN(tst_NextCloud)
#include "tst_nextcloud.moc"
