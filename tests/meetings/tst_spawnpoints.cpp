#include "PanelDialogs.h"
#include "SpawnPointRules.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_SpawnPointEditDialog.h"
#include "Zelt_SpawnPointsDialog.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using namespace PanelDialogs;
using SpawnPointRules::SpawnPoints;
using Zelt_Service_API::ZeltMeetingInfo;

namespace {
QString vector(const QJsonValue &value)
{
    return QStringLiteral("%1|%2|%3")
        .arg(value["x"].toDouble())
        .arg(value["y"].toDouble())
        .arg(value["z"].toDouble());
}

QStringList namesAndIds(const QJsonArray &points)
{
    QStringList texts;
    for (const QJsonValue point : points)
        texts << point["Name"].toString() + QString::number(point["Id"].toInt());
    return texts;
}
} // namespace

// Spawn points: their numbering and order, and editing them from the meetings panel against the
// stand-in.
class TestSpawnPoints : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConsoleHarness> console;

    // The spawn points of the last meeting info update the stand-in received.
    QJsonArray sentSpawnPoints() const
    {
        const auto updates = console->sim.received(QStringLiteral("meetingInfoUpdate"));
        return QJsonDocument::fromJson(updates.last().request.body)["spawnPoints"].toArray();
    }

    void openSpawnPointsOfAcme01()
    {
        selectMeeting(*console, QStringLiteral("ACME01"));
        console->child<QPushButton>("btnSpawnPoints")->click();
    }

    // Waits until the stand-in's Acme01 starts at firstName, then polls, and waits for that poll's
    // answer. Earlier polls were answered before this one was sent, so its answer comes last.
    void waitForPolledStart(const QString &firstName)
    {
        QTRY_COMPARE_WITH_TIMEOUT(
            console->sim.meetingInfo("Acme01")["spawnPoints"][0]["Name"].toString(), firstName,
            10000);
        auto *info = console->window->findChild<Zelt_MeetingsInfoThread *>();
        QSignalSpy polled(info, &Zelt_MeetingsInfoThread::meetingsInfo);
        info->getMeetingsInfo();
        const auto firstOfLast = [&polled] {
            const auto map = polled.last().first().value<QMap<QString, ZeltMeetingInfo>>();
            return map.value(QStringLiteral("acme01")).spawnPoints().value(0).name();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!polled.isEmpty() && firstOfLast() == firstName, 10000);
    }

    void signIn()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
        QVERIFY(console->signIn(QStringLiteral("anna")));
        // The panel has Acme01's live info once a poll's answer has arrived, not when it was sent.
        waitForPolledStart(QStringLiteral("Start"));
    }

private slots:
    void cleanup() { console.reset(); }

    void texts_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("title");
        QTest::newRow("first") << 0 << "Default"
                               << "Start";
        QTest::newRow("below the first") << -1 << "Default"
                                         << "Start";
        QTest::newRow("second") << 1 << "1"
                                << "Position 1";
    }
    void texts()
    {
        QFETCH(int, index);
        QTEST(SpawnPointRules::idText(index), "id");
        QTEST(SpawnPointRules::newTitle(index), "title");
        QCOMPARE(SpawnPointRules::vectorText(SpawnPointRules::vector("1.5", "0", "-2")),
                 "1.5|0|-2");
        QCOMPARE(SpawnPointRules::vectorText(SpawnPointRules::vector("1234567", "3.14159265", "x")),
                 "1.23457e+06|3.14159|0");
    }

    void coordinates_data()
    {
        QTest::addColumn<QString>("value"); // empty: refused
        for (const char *refused : {"1e39", "-1e39", "1e400", "inf", "nan"})
            QTest::newRow(refused) << QString();
        QTest::newRow("-3.4e38") << "-3.4e+38";
        QTest::newRow("-") << "0";
    }
    void coordinates()
    {
        const auto coordinate = SpawnPointRules::coordinate(QTest::currentDataTag());
        QTEST(coordinate ? SpawnPointRules::number(*coordinate) : QString(), "value");
    }

    void moving_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("movedTo"); // -1: stays
        QTest::addColumn<QString>("order");
        QTest::newRow("second up") << 3 << 1 << -1 << 0 << "bac";
        QTest::newRow("first up") << 3 << 0 << -1 << -1 << "abc";
        QTest::newRow("last down") << 3 << 2 << 1 << -1 << "abc";
        QTest::newRow("next to last down") << 3 << 1 << 1 << 2 << "acb";
        QTest::newRow("only one") << 1 << 0 << 1 << -1 << "a";
        QTest::newRow("none selected") << 3 << -1 << 1 << -1 << "abc";
    }
    void moving()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(int, step);
        QFETCH(int, movedTo);
        SpawnPoints points(count);
        for (int i = 0; i < count; ++i)
            points[i].setName(QString(QChar('a' + i)));
        QCOMPARE(step < 0 ? SpawnPointRules::canMoveUp(row, count)
                          : SpawnPointRules::canMoveDown(row, count),
                 movedTo >= 0);
        QCOMPARE(SpawnPointRules::move(points, row, step).value_or(-1), movedTo);
        QString order;
        for (const auto &point : SpawnPointRules::renumbered(points)) {
            order += point.name();
            QCOMPARE(point.id(), int(order.size() - 1));
        }
        QTEST(order, "order");
    }

    void reorderAndDeleteRenumberTheList()
    {
        signIn();
        // Acme01 starts at "Start", with "Stage" second.
        whenShown<Zelt_SpawnPointsDialog>([](Zelt_SpawnPointsDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), "Manage Spawn Points for Meeting ACME01");
            auto *table = in<QTableWidget>(dialog, "tblSpawnPoints");
            QCOMPARE(column(table, 0), (QStringList{"Default", "1"}));
            QCOMPARE(column(table, 3), (QStringList{"0|0|0", "0|180|0"}));
            table->selectRow(1);
            QVERIFY(!in<QPushButton>(dialog, "btnSPDown")->isEnabled());
            in<QPushButton>(dialog, "btnSPUp")->click();
            QCOMPARE(column(table, 1), (QStringList{"Stage", "Start"}));
            QVERIFY(!in<QPushButton>(dialog, "btnSPUp")->isEnabled());
            QVERIFY(in<QPushButton>(dialog, "btnSPDown")->isEnabled());
            clickOk(dialog);
        });
        openSpawnPointsOfAcme01();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 1, 10000);
        QCOMPARE(namesAndIds(sentSpawnPoints()), (QStringList{"Stage0", "Start1"}));
        QCOMPARE(vector(sentSpawnPoints().at(0)["Position"]), "5|0|2.5");
        waitForPolledStart(QStringLiteral("Stage"));

        // Deleting the default makes the next point the default.
        whenShown<Zelt_SpawnPointsDialog>([](Zelt_SpawnPointsDialog *dialog) {
            auto *table = in<QTableWidget>(dialog, "tblSpawnPoints");
            table->selectRow(0);
            in<QPushButton>(dialog, "btnSPDelete")->click();
            QCOMPARE(column(table, 0), QStringList{"Default"});
            QVERIFY(!in<QPushButton>(dialog, "btnSPDelete")->isEnabled());
            QVERIFY(!in<QPushButton>(dialog, "btnSPModify")->isEnabled());
            clickOk(dialog);
        });
        openSpawnPointsOfAcme01();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 2, 10000);
        QCOMPARE(namesAndIds(sentSpawnPoints()), QStringList{"Start0"});
        // Opened again at once, and again after the polls that follow the update, it shows what
        // was saved: no poll answered with the old points brings them back.
        const int polls = console->requestCount("serviceMeetings");
        for (int opening = 0; opening < 2; ++opening) {
            whenShown<Zelt_SpawnPointsDialog>([](Zelt_SpawnPointsDialog *dialog) {
                QCOMPARE(column(in<QTableWidget>(dialog, "tblSpawnPoints"), 1),
                         QStringList{"Start"});
                dialog->reject();
            });
            openSpawnPointsOfAcme01();
            QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("serviceMeetings") > polls, 30000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(
            console->sim.meetingInfo(QStringLiteral("Acme01"))["spawnPoints"].toArray().size(), 1,
            10000);
    }

    void positionIsLoadedFromAParticipant()
    {
        signIn();
        QString tom;
        whenShown<Zelt_SpawnPointsDialog>([&](Zelt_SpawnPointsDialog *dialog) {
            whenShown<Zelt_SpawnPointEditDialog>([&](Zelt_SpawnPointEditDialog *editor) {
                QCOMPARE(in<QLineEdit>(editor, "leId")->text(), "2");
                QCOMPARE(in<QLineEdit>(editor, "leTitle")->text(), "Position 2");
                auto *ok = in<QDialogButtonBox>(editor, "buttonBox")->button(QDialogButtonBox::Ok);
                in<QLineEdit>(editor, "leTitle")->clear();
                QVERIFY(!ok->isEnabled());
                in<QLineEdit>(editor, "leTitle")->setText(QStringLiteral("Front row"));
                QVERIFY(ok->isEnabled());

                // The participants follow the live polls; the choice stays.
                auto *players = in<QComboBox>(editor, "cmbPlayers");
                players->setCurrentIndex(players->findText(" - Tom", Qt::MatchEndsWith));
                tom = players->currentData().toString();
                const QString zoe = QString::number(console->sim.addParticipant("Acme01", "Zoe"));
                QCOMPARE(players->findText(zoe + " - Zoe"), -1);
                console->window->findChild<Zelt_MeetingsInfoThread *>()->getMeetingsInfo();
                QTRY_VERIFY_WITH_TIMEOUT(players->findText(zoe + " - Zoe") >= 0, 10000);
                QCOMPARE(players->currentData().toString(), tom);

                in<QPushButton>(editor, "btnLoadPos")->click();
                QTRY_COMPARE_WITH_TIMEOUT(in<QLineEdit>(editor, "lePosZ")->text(), "-2", 10000);
                QCOMPARE(in<QLineEdit>(editor, "lePosX")->text(), "1");
                QCOMPARE(in<QLineEdit>(editor, "leRotY")->text(), "20");
                // A coordinate beyond a float's range keeps the dialog open, with a message.
                in<QLineEdit>(editor, "leRotX")->setText(QStringLiteral("1e400"));
                clickOk(editor);
                QVERIFY(editor->isVisible());
                QCOMPARE(console->prompt.titles(Prompt::Kind::Warning).size(), 1);
                in<QLineEdit>(editor, "leRotX")->setText(QStringLiteral("0"));
                clickOk(editor);
            });
            in<QPushButton>(dialog, "btnSPAdd")->click();
            QCOMPARE(column(in<QTableWidget>(dialog, "tblSpawnPoints"), 2).value(2), "1|0|-2");
            // Nothing is saved before OK.
            QCOMPARE(console->requestCount("meetingInfoUpdate"), 0);
            clickOk(dialog);
        });
        openSpawnPointsOfAcme01();

        const auto commands = console->sim.received(QStringLiteral("meetingCommand"));
        QCOMPARE(commands.size(), 1);
        QVERIFY(commands.first().request.path.endsWith("/meeting/Acme01/command"));
        const QJsonDocument command = QJsonDocument::fromJson(commands.first().request.body);
        QCOMPARE(command["command"].toString(), "GetPlayerPos");
        QCOMPARE(command["params"].toArray(), QJsonArray{tom});

        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 1, 10000);
        const QJsonArray sent = sentSpawnPoints();
        QCOMPARE(namesAndIds(sent), (QStringList{"Start0", "Stage1", "Front row2"}));
        QCOMPARE(vector(sent.at(2)["Position"]), "1|0|-2");
        QCOMPARE(vector(sent.at(2)["Rotation"]), "0|20|0");
    }
};

QTEST_MAIN(TestSpawnPoints)
#include "tst_spawnpoints.moc"
