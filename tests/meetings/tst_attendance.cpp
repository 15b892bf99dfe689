// The attendance recorder over scripted polls, its store, the CSV as a spreadsheet reads it and
// the floor map's mapping.

#include "AttendanceCsv.h"
#include "AttendanceMonitor.h"
#include "AttendanceRecorder.h"
#include "FloorMapGeometry.h"
#include "ScriptedPrompt.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLineF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

namespace {
const QDateTime Start = QDateTime::fromSecsSinceEpoch(1718096400); // 2024-06-11 09:00 UTC

// One poll per word list, every 10 s: "a" is there, "a*" talks, "a!" is presenter; "-" means
// stopped; "soon:" answers 2 s after the poll before.
LivePoll poll(int index, QString script)
{
    LivePoll poll;
    poll.at = Start.addSecs(10 * index);
    if (script.startsWith(QLatin1String("soon:"))) {
        poll.at = Start.addSecs(10 * (index - 1) + 2);
        script.remove(0, 5);
    }
    if (script == QLatin1String("-"))
        return poll;
    SeenMeeting meeting{QStringLiteral("acme01"), QStringLiteral("Acme01"), {}, {}};
    for (QString word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        SeenParticipant seen;
        seen.talking = word.contains(QLatin1Char('*'));
        seen.role =
            word.contains(QLatin1Char('!')) ? QStringLiteral("Presenter") : QStringLiteral("User");
        seen.user = word.remove(QLatin1Char('*')).remove(QLatin1Char('!'));
        seen.alias = seen.user.toUpper();
        meeting.participants.append(seen);
    }
    poll.running.insert(meeting.key, meeting);
    return poll;
}

// "session key first last present talking roleChanges joins", first and last as poll numbers.
QString describe(int session, const AttendanceRow &row)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(session)
        .arg(row.key)
        .arg(Start.secsTo(row.firstSeen) / 10)
        .arg(Start.secsTo(row.lastSeen) / 10)
        .arg(row.presentPolls)
        .arg(row.talkingPolls)
        .arg(row.roleChanges)
        .arg(row.joins);
}
} // namespace

class TestAttendance : public QObject
{
    Q_OBJECT

private slots:
    void recorder_data();
    void recorder();
    void storeKeepsSessionsAcrossRuns();
    void unusableStoreIsReportedOnce();
    void csvReadsBackInPython();
    void mapMapping_data();
    void mapMapping();
};

void TestAttendance::recorder_data()
{
    QTest::addColumn<QStringList>("polls");
    QTest::addColumn<QStringList>("rows");     // the rows as the last poll leaves them
    QTest::addColumn<QStringList>("sessions"); // started and ended poll, "-" while open

    QTest::newRow("stays") << QStringList{"a", "a", "a"} << QStringList{"0 a 0 2 3 0 0 1"}
                           << QStringList{"0 -"};
    QTest::newRow("gap of one poll is no leave")
        << QStringList{"a b", "b", "a b"} << QStringList{"0 a 0 2 3 0 0 1", "0 b 0 2 3 0 0 1"}
        << QStringList{"0 -"};
    QTest::newRow("two polls away is a leave, back is a join")
        << QStringList{"a b", "b", "b", "a b"} << QStringList{"0 a 0 3 2 0 0 2", "0 b 0 3 4 0 0 1"}
        << QStringList{"0 -"};
    QTest::newRow("late join") << QStringList{"a", "a", "a c"}
                               << QStringList{"0 a 0 2 3 0 0 1", "0 c 2 2 1 0 0 1"}
                               << QStringList{"0 -"};
    QTest::newRow("talking polls") << QStringList{"a*", "a", "a*", "a*"}
                                   << QStringList{"0 a 0 3 4 3 0 1"} << QStringList{"0 -"};
    QTest::newRow("role there and back") << QStringList{"a", "a!", "a!", "a"}
                                         << QStringList{"0 a 0 3 4 0 2 1"} << QStringList{"0 -"};
    QTest::newRow("one login twice counts once")
        << QStringList{"a* a", "a"} << QStringList{"0 a 0 1 2 1 0 1"} << QStringList{"0 -"};
    QTest::newRow("stop ends the session, a start opens the next")
        << QStringList{"a", "a*", "-", "a"} << QStringList{"0 a 0 1 2 1 0 1", "1 a 3 3 1 0 0 1"}
        << QStringList{"0 2", "3 -"};
    QTest::newRow("a poll soon after another is not counted")
        << QStringList{"a", "soon:a* b", "a"} << QStringList{"0 a 0 2 2 0 0 1"}
        << QStringList{"0 -"};
    QTest::newRow("gap at the stop is not carried over")
        << QStringList{"a b", "a", "-"} << QStringList{"0 a 0 1 2 0 0 1", "0 b 0 0 1 0 0 1"}
        << QStringList{"0 2"};
}

void TestAttendance::recorder()
{
    QFETCH(QStringList, polls);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, sessions);

    AttendanceRecorder recorder(10);
    QStringList sessionIds;
    QMap<QString, QString> lastRows; // by session number and key
    QMap<QString, QString> spans;
    QList<AttendanceSample> samples;
    for (int i = 0; i < polls.size(); ++i) {
        for (const SessionUpdate &update : recorder.record(poll(i, polls.at(i)))) {
            if (!sessionIds.contains(update.session.id))
                sessionIds << update.session.id;
            const int number = int(sessionIds.indexOf(update.session.id));
            for (const AttendanceRow &row : update.rows)
                lastRows.insert(QStringLiteral("%1 %2").arg(number).arg(row.key),
                                describe(number, row));
            spans.insert(QString::number(number),
                         QStringLiteral("%1 %2")
                             .arg(Start.secsTo(update.session.started) / 10)
                             .arg(update.session.isOpen()
                                      ? QStringLiteral("-")
                                      : QString::number(Start.secsTo(update.session.ended) / 10)));
            if (update.sample)
                samples << *update.sample;
        }
    }
    QCOMPARE(lastRows.values(), rows);
    QCOMPARE(spans.values(), sessions);
    // One sample per counted poll of the running meeting.
    QCOMPARE(samples.size(), polls.size() - polls.filter(QRegularExpression("^(-|soon:)")).size());
}

void TestAttendance::storeKeepsSessionsAcrossRuns()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("attendance.sqlite"));
    AttendanceRecorder recorder(10);
    {
        AttendanceStore store;
        QVERIFY2(store.open(file, "anna", "http://svc"), qPrintable(store.error()));
        for (int i = 0; i < 3; ++i)
            QVERIFY(store.save(recorder.record(poll(i, QStringLiteral("anna! tom*")))));
    }
    AttendanceStore store;
    QVERIFY(store.open(file, "anna", "http://svc"));
    // The run ended while the meeting ran: its session ends at the last poll it saw.
    const QList<AttendanceSession> sessions = store.sessions(QStringLiteral("acme01"));
    QCOMPARE(sessions.size(), 1);
    QCOMPARE(sessions.first().ended, Start.addSecs(20));
    const QList<AttendanceRow> rows = store.rows(sessions.first().id);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(describe(0, rows.at(1)), QStringLiteral("0 tom 0 2 3 3 0 1"));
    QCOMPARE(store.samples(sessions.first().id).size(), 3);

    // Another user or another service sees none of it.
    AttendanceStore other;
    QVERIFY(other.open(file, "gustav", "http://svc"));
    QVERIFY(other.sessions(QStringLiteral("acme01")).isEmpty());

    QVERIFY(store.removeEndedBefore(Start.addSecs(20)));
    QCOMPARE(store.sessions(QStringLiteral("acme01")).size(), 1);
    QVERIFY(store.removeEndedBefore(Start.addSecs(21)));
    QVERIFY(store.sessions(QStringLiteral("acme01")).isEmpty());
    QVERIFY(store.rows(sessions.first().id).isEmpty());
}

void TestAttendance::unusableStoreIsReportedOnce()
{
    QTemporaryDir dir;
    // The folder is a file: no database can be made there.
    const QString folder = dir.filePath(QStringLiteral("taken"));
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ScriptedPrompt prompt;
    AttendanceMonitor monitor(folder, 10, 90);
    monitor.setOwner("anna", "http://svc");
    for (int i = 0; i < 3; ++i)
        monitor.record(poll(i, QStringLiteral("a")));
    QCOMPARE(prompt.titles(Prompt::Kind::Warning), QStringList{"Attendance not kept"});
    // This run's records are still there to look at.
    const auto sessions = monitor.store().sessions(QStringLiteral("acme01"));
    QCOMPARE(sessions.size(), 1);
    QCOMPARE(monitor.store().rows(sessions.first().id).first().presentPolls, 3);
}

void TestAttendance::csvReadsBackInPython()
{
    // A zone with an offset, so that the offset is written and read back.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const AttendanceSession session{"id",  "acme01",          "Acme01, \"main\"",
                                    Start, Start.addSecs(60), 10};
    AttendanceRow tricky{"jörg", "Jörg \"JJ\", Ünal\nline two",
                         "jörg", "Presenter",
                         Start,  Start.addSecs(50),
                         6,      2,
                         1,      2};
    AttendanceRow formula{
        "x", "=HYPERLINK(\"http://x\")", "", "User", Start.addSecs(10), Start.addSecs(10), 1, 0, 0,
        1};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray csv = AttendanceCsv::write(session, {tricky, formula});
    file.write(csv);
    file.close();
    QVERIFY(csv.contains("\r\n") && !csv.contains("\r\r"));

    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f))))"),
                  path});
    QVERIFY(python.waitForFinished(30000));
    QCOMPARE(python.exitCode(), 0);
    const QJsonArray table = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(table.size(), 3);
    const auto row = [&table](int i) {
        QStringList cells;
        for (const QJsonValue &cell : table.at(i).toArray())
            cells << cell.toString();
        return cells;
    };
    QCOMPARE(row(0),
             (QStringList{"Meeting", "Session start", "Alias", "User", "Role", "First seen",
                          "Last seen", "Present (s)", "Talking (s)", "Role changes", "Joins"}));
    QCOMPARE(row(1).mid(2, 3), (QStringList{tricky.alias, "jörg", "Presenter"}));
    QCOMPARE(row(1).first(), session.meetingId);
    QCOMPARE(row(1).mid(7), (QStringList{"60", "20", "1", "2"}));
    // Times carry their offset and name the same instant.
    QCOMPARE(QDateTime::fromString(row(1).at(6), Qt::ISODate), Start.addSecs(50));
    QVERIFY2(row(1).at(6).endsWith(QStringLiteral("+02:00")), qPrintable(row(1).at(6)));
    // A spreadsheet must not run an alias as a formula.
    QCOMPARE(row(2).at(2), QStringLiteral("'=HYPERLINK(\"http://x\")"));
}

void TestAttendance::mapMapping_data()
{
    QTest::addColumn<QList<QPointF>>("content");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPointF>("world");
    QTest::addColumn<QPointF>("view");

    // View 200 x 100 with a margin of 10: 180 x 80 usable.
    const QList<QPointF> wide{{-10, -2}, {10, 2}};
    QTest::newRow("centre of content to centre of view")
        << wide << 1.0 << QPointF(0, 0) << QPointF(100, 50);
    QTest::newRow("width limits: 20 units on 180 px")
        << wide << 1.0 << QPointF(10, 0) << QPointF(190, 50);
    QTest::newRow("+z is up the screen") << wide << 1.0 << QPointF(0, 2) << QPointF(100, 32);
    QTest::newRow("height limits: 8 units on 80 px")
        << QList<QPointF>{{0, 0}, {1, 8}} << 1.0 << QPointF(0.5, 8) << QPointF(100, 10);
    QTest::newRow("one person: a room of 4 around them")
        << QList<QPointF>{{3, 3}} << 1.0 << QPointF(5, 3) << QPointF(140, 50);
    QTest::newRow("zoom about the centre") << wide << 2.0 << QPointF(10, 0) << QPointF(280, 50);
    QTest::newRow("zoom bounded") << wide << 100.0 << QPointF(1, 0)
                                  << QPointF(100 + 9 * FloorMapGeometry::MaxZoom, 50);
}

void TestAttendance::mapMapping()
{
    QFETCH(QList<QPointF>, content);
    QFETCH(double, zoom);
    QFETCH(QPointF, world);
    QFETCH(QPointF, view);

    FloorMapGeometry geometry;
    geometry.fit(FloorMapGeometry::boundsOf(content), QSizeF(200, 100), 10);
    geometry.setZoom(zoom);
    const QPointF mapped = geometry.toView(world.x(), world.y());
    QVERIFY2(QLineF(mapped, view).length() < 1e-6,
             qPrintable(QStringLiteral("%1,%2").arg(mapped.x()).arg(mapped.y())));
    QVERIFY(QLineF(geometry.toWorld(mapped), world).length() < 1e-6);
}

QTEST_GUILESS_MAIN(TestAttendance)
#include "tst_attendance.moc"
