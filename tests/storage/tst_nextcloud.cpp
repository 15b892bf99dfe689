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

// Every message of the "NCL   " category while it lives.
class NclLog
{
public:
    struct Line
    {
        QtMsgType type;
        QString text;
    };

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

    QStringList texts(QtMsgType type) const
    {
        QStringList found;
        for (const Line &line : lines)
            if (line.type == type)
                found.append(line.text);
        return found;
    }
    bool contains(const QString &part) const
    {
        for (const Line &line : lines)
            if (line.text.contains(part))
                return true;
        return false;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (!active)
            return;
        if (qstrcmp(context.category, "NCL   ") == 0)
            active->lines.append({type, text});
        active->previous(type, context, text);
    }

    static inline NclLog *active = nullptr;
    QtMessageHandler previous = nullptr;
    QList<Line> lines;
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

    void refreshShowsTheUsersFolders();
    void wrongPasswordEmptiesTheTree();
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
    QTreeWidgetItem *folderItem(const QString &name) const;
    void clickFolder(const QString &name);

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
    password = hostile(marker);
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
    QVERIFY2(!log->contains(password), "the password reached the log");
    log.reset();
    QVERIFY2(prompt->shown.isEmpty(), "a message box was shown");
    prompt.reset();
    QVERIFY2(!QFile::exists(marker), "a field's text was run as a command");
}

// --- The reader ---

void tst_NextCloud::readsNextcloudListing_data()
{
    QTest::addColumn<QString>("folder"); // below the user's root, "/"-joined
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("megabytes");

    const QString root = QStringLiteral("/remote.php/dav/files/nico/");
    QTest::newRow("blank as %20") << "Meeting Notes"
                                  << "Welcome note.txt" << root + "Meeting Notes/Welcome note.txt"
                                  << "42"
                                  << "0.00";
    QTest::newRow("lowercase UTF-8 percent-encoding")
        << "Bücher"
        << "Leseliste.txt" << root + "Bücher/Leseliste.txt"
        << "1234567"
        << "1.23";
    QTest::newRow("unicode names")
        << "資料"
        << "Übersicht € (2024).pdf" << root + "資料/Übersicht € (2024).pdf"
        << "2500000"
        << "2.50";
    QTest::newRow("3 GiB") << "Models"
                           << "scene.bin" << root + "Models/scene.bin"
                           << "3221225472"
                           << "3221.23";
    QTest::newRow("top folder") << ""
                                << "Readme.md" << root + "Readme.md"
                                << "120"
                                << "0.00";
    QTest::newRow("at the depth") << "a/b/c/d/e/f/g/h/i"
                                  << "ten.txt" << root + "a/b/c/d/e/f/g/h/i/ten.txt"
                                  << "10"
                                  << "0.00";
    QTest::newRow("deeper than the depth") << "a/b/c/d/e/f/g/h/i/j"
                                           << "eleven.txt"
                                           << ""
                                           << ""
                                           << "";
}

void tst_NextCloud::readsNextcloudListing()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QString, href);
    QFETCH(QString, size);
    QFETCH(QString, megabytes);

    const auto nodes = PropfindReply::readFile(fixture(QStringLiteral("listing.xml")));
    QVERIFY(nodes);
    const NextCloudTree tree = NextCloudTree::fromNodes(
        *nodes, QStringLiteral("nico"), QStringLiteral("https://cloud.example"), 10);

    // Each folder's path below the root, from its parents' names.
    QStringList paths;
    for (const NextCloudTree::Folder &each : tree.folders)
        paths.append(each.parent < 0 ? QString()
                     : paths.at(each.parent).isEmpty()
                         ? each.name
                         : paths.at(each.parent) + QLatin1Char('/') + each.name);
    const qsizetype at = paths.indexOf(folder);
    QVERIFY2(at >= 0, qPrintable(paths.join(QLatin1String(", "))));
    QCOMPARE(paths.count(folder), 1);

    QJsonObject found;
    for (const QJsonValue &each : tree.folders.at(at).files)
        if (each.toObject().value(QStringLiteral("name")).toString() == file)
            found = each.toObject();
    if (href.isEmpty()) {
        QVERIFY(found.isEmpty());
        return;
    }
    QCOMPARE(
        found,
        (QJsonObject{
            {"name", file}, {"size", size}, {"path", href}, {"url", "https://cloud.example"}}));
    QCOMPARE(NextCloudTree::megabytesText(size.toLongLong()), megabytes);
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
    QCOMPARE(log->texts(QtCriticalMsg), logged);
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

QTreeWidgetItem *tst_NextCloud::folderItem(const QString &name) const
{
    const auto found = tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.first() : nullptr;
}

void tst_NextCloud::clickFolder(const QString &name)
{
    QTreeWidgetItem *item = folderItem(name);
    QVERIFY2(item, qPrintable(name));
    emit tree()->itemClicked(item, 0);
}

void tst_NextCloud::refreshShowsTheUsersFolders()
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

    clickFolder(QStringLiteral("Bücher"));
    QCOMPARE(table()->rowCount(), 1);
    QCOMPARE(table()->item(0, 0)->text(), QStringLiteral("Leseliste.txt"));
    QCOMPARE(table()->item(0, 1)->text(), QStringLiteral("1.23"));
    QCOMPARE(table()->item(0, 0)->data(Qt::UserRole).toJsonObject(),
             (QJsonObject{{"name", "Leseliste.txt"},
                          {"size", "1234567"},
                          {"path", "/remote.php/dav/files/nico/Bücher/Leseliste.txt"},
                          {"url", peer.url()}}));

    clickFolder(QStringLiteral("Models"));
    QCOMPARE(table()->item(0, 1)->text(), QStringLiteral("3221.23"));
    clickFolder(QStringLiteral("Meeting Notes"));
    QCOMPARE(table()->item(0, 0)->text(), QStringLiteral("Welcome note.txt"));

    // Picking a file for a meeting: the selection, the signals, the account of the refresh.
    QSignalSpy clicked(browser.get(), &Zelt_NextCloud::itemClicked);
    QSignalSpy doubleClicked(browser.get(), &Zelt_NextCloud::itemDoubleClicked);
    table()->selectRow(0);
    emit table()->itemClicked(table()->item(0, 1));
    emit table()->itemDoubleClicked(table()->item(0, 1));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(doubleClicked.size(), 1);
    QCOMPARE(browser->selectedItems(), (QList<QTableWidgetItem *>{table()->item(0, 0)}));
    QCOMPARE(browser->userName(), QStringLiteral("nico"));
    QCOMPARE(browser->password(), password);
    browser->clearSelection();
    QVERIFY(browser->selectedItems().isEmpty());

    QVERIFY(log->contains(QStringLiteral("-u nico:******** ")));
    QVERIFY(log->contains(QStringLiteral("Done. TRUE")));
    QVERIFY(log->texts(QtCriticalMsg).isEmpty());
}

void tst_NextCloud::wrongPasswordEmptiesTheTree()
{
    fill(peer.url(), QStringLiteral("nico"), password);
    QVERIFY(refreshed([&] { refreshButton()->click(); }));
    QCOMPARE(tree()->topLevelItemCount(), 1);
    clickFolder(QStringLiteral("Bücher"));

    // webdav-server refuses with an empty body; Nextcloud would send an error document.
    field("lePass")->setText(QStringLiteral("wrong"));
    QVERIFY(refreshed([&] { QTest::keyClick(field("lePass"), Qt::Key_Return); }));
    QCOMPARE(tree()->topLevelItemCount(), 0);
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(log->texts(QtCriticalMsg),
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
        QCOMPARE(log->texts(QtCriticalMsg), QStringList{"Cloud URL must not begin with \"-\""});
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
