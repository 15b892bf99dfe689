// A large customer in the whole console: one presenter with N meetings, one of them running with
// 300 participants, against the platform stand-in. Per N, (1) the time from the login dialog's
// Ok to the meetings table holding all N rows and the running meeting's 300 users (median of
// the logins), and (2) the GUI thread's longest stall while a status poll is answered and shown,
// with the running meeting selected so that its members table is refreshed too (median and max
// over every login's polls).
//
//     meetings_bench [--rounds N (3)] [--polls N (10)] [N ...]    (sizes: 500 1000 2000 4000)
//
// The stand-in runs on a thread of its own, so that what it spends answering is not counted as
// the console's stall. A stall is the longest gap between the ticks of a 1 ms timer on the GUI
// thread, from the poll's start until its replies are handled and 200 ms more have passed.
#include "BenchSupport.h"
#include "ExitRecorder.h"
#include "LoginDriver.h"
#include "NetworkIdle.h"
#include "OpenDialogs.h"
#include "S3Peer.h"
#include "ScriptedPrompt.h"
#include "SimulatorServer.h"
#include "TestPaths.h"
#include "Zelt_Login.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_ServerApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int participantCount = 300;
const QString benchUser = QStringLiteral("bruno");

// --- The fixture: the demo platform plus the large customer ---

QString meetingIdOf(int index)
{
    return QStringLiteral("Mtg%1").arg(index, 4, 10, QLatin1Char('0'));
}

QString titleOf(int index)
{
    static const char *const kinds[] = {
        "Design review",    "Quarterly planning",   "Customer workshop",   "Product training",
        "Sales kickoff",    "Showroom walkthrough", "Onboarding session",  "Board briefing",
        "Supplier meeting", "Architecture review",  "Trade fair rehearsal"};
    static const char *const subjects[] = {"north hall extension", "Q3 figures and forecast",
                                           "new showroom layout",  "service portal",
                                           "spring collection",    "factory line 4 retrofit",
                                           "partner programme",    "harbour terminal",
                                           "VR training module",   "press launch"};
    const QString kind = QLatin1String(kinds[index % std::size(kinds)]);
    const QString subject = QLatin1String(subjects[(index / 3) % std::size(subjects)]);
    return index % 4 == 0
               ? QStringLiteral("%1: %2").arg(kind, subject)
               : QStringLiteral("%1: %2, week %3").arg(kind, subject).arg(index % 52 + 1);
}

QJsonObject vector(double x, double y, double z)
{
    return {{QStringLiteral("x"), x}, {QStringLiteral("y"), y}, {QStringLiteral("z"), z}};
}

// Distinct aliases, the host first; some without voice, some talking.
QJsonArray participants()
{
    static const char *const first[] = {
        "Alex", "Bea",  "Chris", "Dana",  "Emil",    "Fiona", "Gero",   "Hanna", "Ivo",    "Jana",
        "Kai",  "Lena", "Malte", "Nora",  "Olaf",    "Paula", "Quirin", "Rosa",  "Stefan", "Tina",
        "Ulf",  "Vera", "Wim",   "Xenia", "Yannick", "Zoe",   "Arne",   "Birte", "Carl",   "Doris"};
    static const char *const last[] = {"Albers", "Brandt", "Claasen",  "Dietz", "Engel",
                                       "Fuchs",  "Graf",   "Hoffmann", "Imhof", "Jansen"};
    QJsonArray list;
    for (int i = 0; i < participantCount; ++i) {
        const bool host = i == 0;
        list.append(QJsonObject{
            {QStringLiteral("Alias"),
             host ? QStringLiteral("Bruno (host)")
                  : QStringLiteral("%1 %2").arg(QLatin1String(first[i % std::size(first)]),
                                                QLatin1String(last[i / std::size(first)]))},
            {QStringLiteral("currentRole"),
             host ? QStringLiteral("Presenter") : QStringLiteral("User")},
            {QStringLiteral("voiceEnabled"), i % 7 != 3},
            {QStringLiteral("voiceIsTalking"), i % 11 == 0},
            {QStringLiteral("Position"), vector(i % 20 - 10, 0, i / 20 - 7)},
            {QStringLiteral("Rotation"), vector(0, (i * 37) % 360 - 180, 0)}});
    }
    return list;
}

// The demo platform with one more presenter of Acme who has count meetings; the one at running
// is under way with 300 participants.
QJsonObject fixtureFor(QJsonObject demo, int count, int running)
{
    QJsonArray users = demo.value(QStringLiteral("users")).toArray();
    const QString userId = QStringLiteral("4f3b2a10-7c6d-4e5f-9a8b-0000000000b1");
    users.append(
        QJsonObject{{QStringLiteral("id"), userId},
                    {QStringLiteral("userId"), benchUser},
                    {QStringLiteral("password"), benchUser + QStringLiteral("-demo")},
                    {QStringLiteral("firstName"), QStringLiteral("Bruno")},
                    {QStringLiteral("lastName"), QStringLiteral("Hart")},
                    {QStringLiteral("email"), QStringLiteral("bruno@acme.example")},
                    {QStringLiteral("company"), QStringLiteral("Acme")},
                    {QStringLiteral("status"), QStringLiteral("active")},
                    {QStringLiteral("roles"), QJsonArray{QStringLiteral("Zelt_Presenter")}},
                    {QStringLiteral("groups"), QJsonArray{QStringLiteral("Customer Acme")}},
                    {QStringLiteral("created"), QStringLiteral("2023-09-01")}});
    demo.insert(QStringLiteral("users"), users);

    static const char *const licenses[] = {"default", "endless", "special1", "special2"};
    // A stored meeting password as the service keeps it: a lock in the table.
    const QJsonValue password = demo.value(QStringLiteral("meetings"))
                                    .toArray()
                                    .first()
                                    .toObject()
                                    .value(QStringLiteral("password"));
    QJsonArray meetings = demo.value(QStringLiteral("meetings")).toArray();
    for (int i = 0; i < count; ++i) {
        const bool live = i == running;
        QJsonObject meeting{
            {QStringLiteral("id"), 1000 + i},
            {QStringLiteral("meetingId"), meetingIdOf(i)},
            {QStringLiteral("title"), titleOf(i)},
            {QStringLiteral("description"),
             i % 5 == 0 ? QStringLiteral("Prepared with the regional team") : QString()},
            {QStringLiteral("creatorId"), userId},
            {QStringLiteral("creator"), benchUser},
            {QStringLiteral("created"), QStringLiteral("2024-05-03")},
            {QStringLiteral("modified"), QStringLiteral("2024-06-11")},
            {QStringLiteral("license"),
             live ? QStringLiteral("special3") : QLatin1String(licenses[i % std::size(licenses)])},
            {QStringLiteral("status"), live ? QStringLiteral("active") : QStringLiteral("pending")},
            {QStringLiteral("audioMode"), live ? 1 : i % 3},
            {QStringLiteral("audioMode3D"), i % 2 == 0 ? 10 : 0},
            {QStringLiteral("chatMode"), i % 2},
            {QStringLiteral("presenter"),
             QJsonObject{{QStringLiteral("name"), QStringLiteral("Bruno Hart")},
                         {QStringLiteral("email"), QStringLiteral("bruno@acme.example")}}}};
        if (i % 3 == 0)
            meeting.insert(QStringLiteral("password"), password);
        if (live) {
            // Nobody else joins: the meeting stays at 300.
            meeting.insert(QStringLiteral("simulatedParticipants"), 0);
            meeting.insert(QStringLiteral("live"),
                           QJsonObject{{QStringLiteral("runningMinutes"), 30},
                                       {QStringLiteral("participants"), participants()}});
        }
        meetings.append(meeting);
    }
    demo.insert(QStringLiteral("meetings"), meetings);
    return demo;
}

// --- The stand-in on its own thread ---

class StandInThread
{
public:
    ~StandInThread()
    {
        if (thread.isRunning())
            run([this] {
                delete sim;
                context.moveToThread(qApp->thread());
            });
        thread.quit();
        thread.wait();
    }

    bool start(const QJsonObject &fixture, QString *error)
    {
        VorelSim::SimulatorConfig config;
        config.frozenClock = true;
        if (S3Peer *storage = S3Peer::shared())
            config.s3Endpoint = storage->endpoint();
        context.moveToThread(&thread);
        thread.start();
        bool started = false;
        run([&] {
            sim = new VorelSim::SimulatorServer(config);
            started = sim->loadFixture(fixture, error) && sim->start(error);
            url = sim->baseUrl();
        });
        return started;
    }

    QString baseUrl() const { return url; }
    void advanceClock(qint64 seconds)
    {
        run([&] { sim->advanceClock(seconds); });
    }

private:
    void run(const std::function<void()> &work)
    {
        QMetaObject::invokeMethod(&context, work, Qt::BlockingQueuedConnection);
    }

    QThread thread;
    QObject context;
    VorelSim::SimulatorServer *sim = nullptr;
    QString url;
};

// --- The GUI thread's pulse ---

// Ticks every millisecond on the GUI thread; the longest gap between two ticks is the longest
// time the thread stayed away from its event loop.
class StallProbe : public QObject
{
public:
    StallProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        connect(&timer, &QTimer::timeout, this, &StallProbe::tick);
        timer.start();
    }

    void restart()
    {
        longest = 0;
        sinceTick.start();
    }
    double longestMs() const { return longest / 1e6; }

    // Runs the event loop until done holds (asked at every tick) or timeoutMs have passed;
    // false on the time-out.
    bool runUntil(const std::function<bool()> &done, int timeoutMs)
    {
        QEventLoop loop;
        bool met = false;
        QElapsedTimer waited;
        waited.start();
        check = [&] {
            met = done();
            if (met || waited.elapsed() > timeoutMs)
                loop.quit();
        };
        loop.exec();
        check = nullptr;
        return met;
    }
    void idle(int ms)
    {
        runUntil([] { return false; }, ms);
    }

private:
    void tick()
    {
        if (sinceTick.isValid())
            longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.start();
        if (check)
            check();
    }

    QTimer timer;
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    std::function<void()> check;
};

// --- Reading the tables by their headers ---

QString cellText(const QTableWidget *table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

int columnOf(const QTableWidget *table, const QString &header)
{
    for (int column = 0; column < table->columnCount(); ++column) {
        if (table->model()->headerData(column, Qt::Horizontal).toString() == header)
            return column;
    }
    return -1;
}

// Finds the running meeting's row in the meetings table and reads its Users cell.
class MeetingsView
{
public:
    MeetingsView(const Zelt_ServerApp &window, int count, const QString &runningId)
        : window(window), count(count), runningId(runningId)
    {
    }

    QTableWidget *meetings() const
    {
        return window.findChild<QTableWidget *>(QStringLiteral("tblMeetings"));
    }
    QTableWidget *members() const
    {
        return window.findChild<QTableWidget *>(QStringLiteral("tblMeetingMembers"));
    }

    int runningRow()
    {
        const QTableWidget *table = meetings();
        const int idColumn = table ? columnOf(table, QStringLiteral("Id")) : -1;
        if (idColumn < 0)
            return -1;
        if (isRunningRow(table, idColumn, row))
            return row;
        for (row = 0; row < table->rowCount(); ++row) {
            if (isRunningRow(table, idColumn, row))
                return row;
        }
        return row = -1;
    }

    // All rows there, and the running meeting's users.
    bool complete()
    {
        const QTableWidget *table = meetings();
        if (!table || table->rowCount() != count || runningRow() < 0)
            return false;
        return cellText(table, row, columnOf(table, QStringLiteral("Users"))) ==
               QString::number(participantCount);
    }

private:
    bool isRunningRow(const QTableWidget *table, int idColumn, int candidate) const
    {
        return candidate >= 0 && candidate < table->rowCount() &&
               cellText(table, candidate, idColumn).compare(runningId, Qt::CaseInsensitive) == 0;
    }

    const Zelt_ServerApp &window;
    int count;
    QString runningId;
    int row = -1;
};

// Starts the clock when Ok is pressed in the login dialog (the login driver's click), and
// notes when the dialog accepts.
class LoginWatch : public QObject
{
public:
    LoginWatch() { qApp->installEventFilter(this); }
    ~LoginWatch() override { qApp->removeEventFilter(this); }

    QElapsedTimer sinceOk;
    qint64 acceptedAtNs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto *dialog = qobject_cast<Zelt_Login *>(watched);
        if (!dialog || dialog == watchedDialog)
            return false;
        watchedDialog = dialog;
        if (auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("btnBox")))
            connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this,
                    [this] { sinceOk.start(); });
        connect(dialog, &QDialog::accepted, this,
                [this] { acceptedAtNs = sinceOk.isValid() ? sinceOk.nsecsElapsed() : -1; });
        return false;
    }

private:
    QObject *watchedDialog = nullptr;
};

struct Figures
{
    double loginToTableMs = -1;
    double loginMs = -1; // Ok to the dialog's accept
    QList<double> stallsMs;
    QString error;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

Figures measure(const QJsonObject &demo, int count, int polls)
{
    Figures figures;
    const int running = count / 2;
    StandInThread standIn;
    if (!standIn.start(fixtureFor(demo, count, running), &figures.error))
        return figures;

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("console.ini"));
    {
        QSettings settings(ini, QSettings::IniFormat);
        for (const char *group : {"Zelt_MeetingService", "Zelt_AuthService", "Zelt_Service"})
            settings.setValue(QString::fromLatin1(group) + QStringLiteral("/host"),
                              standIn.baseUrl());
        // The bench's window gets no user input: it must not freeze for inactivity.
        settings.setValue(QStringLiteral("Zelt_Console/inactivitytime"), 3600);
    }

    ScriptedPrompt prompt;
    ExitRecorder exits(closeOpenDialogs);
    LoginDriver login;
    login.typeCredentials(benchUser, benchUser + QStringLiteral("-demo"));
    LoginWatch watch;
    StallProbe probe;

    auto window = std::make_unique<Zelt_ServerApp>(
        QStringList{QStringLiteral("Zelt_ConsoleApp"), QStringLiteral("-i"), ini});
    window->resize(1400, 900);
    window->show();
    MeetingsView view(*window, count, meetingIdOf(running));

    const auto fail = [&](const QString &what) {
        figures.error = what;
        if (exits.exited())
            figures.error += QStringLiteral(" (the console ended)");
        if (!prompt.shown.isEmpty())
            figures.error += QStringLiteral(" (prompt: %1)").arg(prompt.shown.last().title);
    };
    const auto tearDown = [&] {
        probe.runUntil(networkIdle, 60000);
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    // (1) Ok in the login dialog to the complete table, painted.
    if (!probe.runUntil([&] { return watch.sinceOk.isValid() && view.complete(); }, 300000)) {
        fail(QStringLiteral("the table did not fill"));
        tearDown();
        return figures;
    }
    window->repaint();
    figures.loginToTableMs = watch.sinceOk.nsecsElapsed() / 1e6;
    figures.loginMs = watch.acceptedAtNs / 1e6;

    // The user selects the running meeting and watches its members.
    probe.runUntil(networkIdle, 60000);
    probe.idle(300);
    QTableWidget *meetings = view.meetings();
    meetings->selectRow(view.runningRow());
    meetings->scrollTo(meetings->model()->index(view.runningRow(), 0));
    if (!probe.runUntil(
            [&] { return view.members()->rowCount() == participantCount && networkIdle(); },
            60000)) {
        fail(QStringLiteral("the members did not show"));
        tearDown();
        return figures;
    }
    probe.idle(300);

    // (2) The polls, each with the live meeting 5 s further on.
    bool answered = false;
    QObject::connect(window->liveInfo(), &Zelt_MeetingsInfoThread::meetingsInfo, &probe,
                     [&answered] { answered = true; });
    for (int poll = 0; poll < polls; ++poll) {
        standIn.advanceClock(5);
        answered = false;
        probe.restart();
        QTimer::singleShot(0, window.get(), &Zelt_ServerApp::onMeetingStatusTimer);
        if (!probe.runUntil([&] { return answered && networkIdle(); }, 120000)) {
            fail(QStringLiteral("poll %1 was not answered").arg(poll + 1));
            break;
        }
        probe.idle(200);
        figures.stallsMs << probe.longestMs();
        if (view.members()->rowCount() != participantCount || meetings->selectedItems().isEmpty()) {
            fail(QStringLiteral("the running meeting's members are no longer shown"));
            break;
        }
    }
    tearDown();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchSupport::offscreenUnlessChosen();
    // The window keeps its state in the user's settings: not in the developer's own.
    QTemporaryDir home;
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(variable, home.filePath(QString::fromLatin1(variable)).toUtf8());
    QApplication application(argc, argv);
    // The console's debug log would drown the table.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption roundsOption(QStringLiteral("rounds"),
                                          QStringLiteral("Logins per size (3)."),
                                          QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption pollsOption(QStringLiteral("polls"),
                                         QStringLiteral("Polls timed per login (10)."),
                                         QStringLiteral("n"), QStringLiteral("10"));
    parser.addOptions({roundsOption, pollsOption});
    parser.addPositionalArgument(QStringLiteral("sizes"),
                                 QStringLiteral("Meetings of the user (500 1000 2000 4000)."));
    parser.process(application);
    const int rounds = qMax(1, parser.value(roundsOption).toInt());
    const int polls = qMax(1, parser.value(pollsOption).toInt());
    QList<int> sizes;
    for (const QString &argument : parser.positionalArguments())
        if (const int size = argument.toInt(); size > 1)
            sizes << size;
    if (sizes.isEmpty())
        sizes = {500, 1000, 2000, 4000};

    QTextStream out(stdout);
    QFile demoFile(TestPaths::sourceDir() + QStringLiteral("/simulator/fixtures/demo.json"));
    if (!demoFile.open(QIODevice::ReadOnly)) {
        out << "cannot read " << demoFile.fileName() << Qt::endl;
        return 1;
    }
    const QJsonObject demo = QJsonDocument::fromJson(demoFile.readAll()).object();

    out << "One presenter with N meetings, one running with " << participantCount
        << " participants (selected); per N " << rounds << " logins with " << polls
        << " polls each." << Qt::endl
        << "login->table: Ok in the login dialog to all N rows and the running meeting's users"
        << Qt::endl
        << "              shown and painted, median and range of the logins (login: Ok to the"
        << Qt::endl
        << "              dialog's accept)." << Qt::endl
        << "poll stall:   the GUI thread's longest gap between 1 ms ticks while a poll is "
           "answered and shown,"
        << Qt::endl
        << "              median and max over all polls." << Qt::endl
        << "x first:      the median over the first size's." << Qt::endl
        << Qt::endl;
    // Loading fonts, icons and styles is paid once, not by the first size.
    measure(demo, 50, 1);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
               .arg(QStringLiteral("N"), 6)
               .arg(QStringLiteral("login->table ms"), 16)
               .arg(QStringLiteral("(range)"), 14)
               .arg(QStringLiteral("(login ms)"), 11)
               .arg(QStringLiteral("x first"), 8)
               .arg(QStringLiteral("stall median ms"), 16)
               .arg(QStringLiteral("stall max ms"), 13)
               .arg(QStringLiteral("x first"), 8)
        << Qt::endl;

    double firstTable = -1;
    double firstStall = -1;
    bool allMeasured = true;
    for (const int size : sizes) {
        QList<double> tables;
        QList<double> logins;
        QList<double> stalls;
        QStringList errors;
        for (int round = 0; round < rounds; ++round) {
            const Figures figures = measure(demo, size, polls);
            if (figures.loginToTableMs >= 0) {
                tables << figures.loginToTableMs;
                logins << figures.loginMs;
            }
            stalls << figures.stallsMs;
            if (!figures.error.isEmpty())
                errors << figures.error;
        }
        const double table = median(tables);
        const double stall = median(stalls);
        const double longest =
            stalls.isEmpty() ? -1 : *std::max_element(stalls.cbegin(), stalls.cend());
        if (firstTable < 0 && errors.isEmpty()) {
            firstTable = table;
            firstStall = stall;
        }
        const auto ratio = [](double value, double base) {
            return value > 0 && base > 0 ? QString::number(value / base, 'f', 2)
                                         : QStringLiteral("-");
        };
        const auto [fastest, slowest] = std::minmax_element(tables.cbegin(), tables.cend());
        const QString range =
            tables.isEmpty()
                ? QStringLiteral("-")
                : QStringLiteral("%1-%2").arg(*fastest, 0, 'f', 0).arg(*slowest, 0, 'f', 0);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                   .arg(size, 6)
                   .arg(table, 16, 'f', 0)
                   .arg(range, 14)
                   .arg(median(logins), 11, 'f', 0)
                   .arg(ratio(table, firstTable), 8)
                   .arg(stall, 16, 'f', 1)
                   .arg(longest, 13, 'f', 1)
                   .arg(ratio(stall, firstStall), 8)
            << Qt::endl;
        for (const QString &error : std::as_const(errors))
            out << "       " << error << Qt::endl;
        allMeasured = allMeasured && errors.isEmpty();
    }
    return allMeasured ? 0 : 1;
}
