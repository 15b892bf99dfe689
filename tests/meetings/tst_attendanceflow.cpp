// Attendance as a user meets it: polls of a running meeting with guests coming and talking, the
// Attendance dialog with its table, chart and CSV export, the floor map beside the members
// table, and the records after the console started again.

#include "ConsoleHarness.h"
#include "FloorMapView.h"
#include "NetworkIdle.h"
#include "Zelt_AttendanceDialog.h"
#include "Zelt_Meetings.h"
#include "Zelt_MeetingsInfoThread.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>

class TestAttendanceFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void attendanceFollowsThePollsAndOutlivesTheRun();

private:
    QTableWidget *table(const char *name) const { return console->child<QTableWidget>(name); }
    void signIn();
    // Moves the stand-in's clock by one poll interval and waits for the poll's answer.
    void poll();
    Zelt_AttendanceDialog *openAttendance();
    QStringList column(QTableWidget *table, int column) const;

    std::unique_ptr<ConsoleHarness> console;
};

void TestAttendanceFlow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .remove(QStringLiteral("attendance.sqlite"));
    console = std::make_unique<ConsoleHarness>();
    QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
}

QStringList TestAttendanceFlow::column(QTableWidget *table, int column) const
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

void TestAttendanceFlow::signIn()
{
    QVERIFY(console->signIn(QStringLiteral("anna")));
    console->window->liveInfo()->setClock([this] { return console->sim.now(); });
    QTRY_VERIFY_WITH_TIMEOUT(column(table("tblMeetings"), 0).contains("ACME01"), 10000);
    table("tblMeetings")->selectRow(int(column(table("tblMeetings"), 0).indexOf("ACME01")));
    QTRY_VERIFY_WITH_TIMEOUT(table("tblMeetingMembers")->rowCount() > 0, 10000);
}

void TestAttendanceFlow::poll()
{
    QTRY_VERIFY_WITH_TIMEOUT(networkIdle(), 10000);
    const int listings = console->requestCount("serviceMeetings");
    console->sim.advanceClock(10);
    console->window->liveInfo()->getMeetingsInfo();
    QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("serviceMeetings") > listings && networkIdle(),
                             10000);
}

Zelt_AttendanceDialog *TestAttendanceFlow::openAttendance()
{
    auto *button = console->child<QPushButton>("btnAttendance");
    button->click();
    auto *dialog = console->window->findChild<Zelt_AttendanceDialog *>();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

void TestAttendanceFlow::attendanceFollowsThePollsAndOutlivesTheRun()
{
    signIn();
    for (int i = 0; i < 3; ++i)
        poll();
    Zelt_AttendanceDialog *dialog = openAttendance();
    QVERIFY(dialog);
    auto *attendance = dialog->findChild<QTableWidget *>("tblAttendance");
    auto *map = dialog->findChild<FloorMapView *>("floorMap");
    QVERIFY(column(attendance, 0).contains("Anna (host)"));
    QVERIFY(column(attendance, 0).contains("Tom"));

    // The dialog follows the polls: guests come and Anna's time grows.
    const auto presentOf = [&](const QString &alias) {
        const QString text = attendance->item(int(column(attendance, 0).indexOf(alias)), 5)->text();
        return QTime(0, 0).secsTo(QTime::fromString(text, QStringLiteral("H:mm:ss")));
    };
    const int before = presentOf("Anna (host)");
    for (int i = 0; i < 12; ++i)
        poll();
    // Twelve polls on the stand-in's clock, ten seconds each.
    QCOMPARE(presentOf("Anna (host)") - before, 120);
    QVERIFY2(attendance->rowCount() > 3, "no guest joined");
    QCOMPARE(dialog->findChild<QListWidget *>("lstSessions")->count(), 1);

    // Map and members table select each other.
    const auto members = [&] { return table("tblMeetingMembers"); };
    const int tomRow = int(column(members(), 2).indexOf("Tom"));
    QVERIFY(tomRow >= 0);
    const qint32 tomId = column(members(), 0).at(tomRow).toInt();
    members()->selectRow(tomRow);
    QCOMPARE(map->selectedParticipant(), tomId);
    const int lisaRow = int(column(members(), 2).indexOf("Lisa"));
    const qint32 lisaId = column(members(), 0).at(lisaRow).toInt();
    // Lisa's place as the stand-in keeps it.
    QPointF lisaAt;
    for (const auto &participant : console->sim.state().meeting("Acme01")->live->participants)
        if (participant.id == lisaId)
            lisaAt = map->geometry().toView(participant.position.x, participant.position.z);
    QTest::mouseClick(map, Qt::LeftButton, {}, lisaAt.toPoint());
    QCOMPARE(members()->currentRow(), int(column(members(), 2).indexOf("Lisa")));

    // Export: the file holds the table's rows under the header.
    const QString csvPath = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                                .filePath(QStringLiteral("attendance-flow.csv"));
    console->prompt.answer(csvPath);
    dialog->findChild<QPushButton *>("btnExportCsv")->click();
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size() - 2, attendance->rowCount()); // header and the empty end
    QVERIFY(lines.first().contains("Alias,User,Role"));
    csv.remove();

    // Nothing was asked of the service beyond the polls.
    QCOMPARE(console->requestCount("meetingCommand"), 0);

    // The next run lists this session as ended, and a new one while the meeting still runs.
    console->window.reset();
    signIn();
    poll();
    dialog = openAttendance();
    QVERIFY(dialog);
    auto *sessions = dialog->findChild<QListWidget *>("lstSessions");
    QCOMPARE(sessions->count(), 2);
    QVERIFY(sessions->item(0)->text().endsWith(QStringLiteral("(running)")));
    QVERIFY(sessions->item(1)->text().contains(QStringLiteral(" to ")));
    sessions->setCurrentRow(1);
    QVERIFY(dialog->findChild<QTableWidget *>("tblAttendance")->rowCount() > 3);
}

QTEST_MAIN(TestAttendanceFlow)
#include "tst_attendanceflow.moc"
