#include "ConsoleHarness.h"
#include "SpawnPointRules.h"
#include "Zelt_Meetings.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_SpawnPointEditDialog.h"
#include "Zelt_SpawnPointsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using SpawnPointRules::SpawnPoints;
using Zelt_Service_API::ZeltSpawnPoint;

namespace {
SpawnPoints named(const QStringList &names)
{
    SpawnPoints points;
    for (const QString &name : names) {
        ZeltSpawnPoint point;
        point.setName(name);
        point.setId(99);
        points << point;
    }
    return points;
}

QStringList names(const SpawnPoints &points)
{
    QStringList result;
    for (const ZeltSpawnPoint &point : points)
        result << point.name();
    return result;
}

template <typename T> T *in(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

void clickOk(QDialog *dialog)
{
    in<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
}

QString vector(const QJsonValue &value)
{
    return QStringLiteral("%1|%2|%3")
        .arg(value["x"].toDouble())
        .arg(value["y"].toDouble())
        .arg(value["z"].toDouble());
}

// The name of Acme01's first spawn point in a live info map.
QString firstSpawnPoint(const QVariant &map)
{
    const auto infos = map.value<QMap<QString, Zelt_Service_API::ZeltMeetingInfo>>();
    const auto points = infos.value(QStringLiteral("acme01")).spawnPoints();
    return points.isEmpty() ? QString() : points.first().name();
}

QStringList column(QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << table->item(row, column)->text();
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
        return updates.isEmpty()
                   ? QJsonArray()
                   : QJsonDocument::fromJson(updates.last().request.body)["spawnPoints"].toArray();
    }

    void signIn()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
        QVERIFY(console->signIn(QStringLiteral("anna")));
        QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("serviceMeetings") > 1, 10000);
    }

    void openSpawnPointsOf(const QString &meetingId)
    {
        auto *table = console->child<QTableWidget>("tblMeetings");
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == meetingId)
                table->selectRow(row);
        QVERIFY(console->child<QPushButton>("btnSpawnPoints")->isEnabled());
        console->child<QPushButton>("btnSpawnPoints")->click();
    }

    // Runs check on the dialog of class T once it shows, and closes it should check fail.
    template <typename T, typename Check> static void whenShown(Check check)
    {
        whenDialogShows<T>([check](T *dialog) {
            check(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
    }

private slots:
    void idsAndTitles_data()
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
        QTest::newRow("twelfth") << 11 << "11"
                                 << "Position 11";
    }
    void idsAndTitles()
    {
        QFETCH(int, index);
        QTEST(SpawnPointRules::idText(index), "id");
        QTEST(SpawnPointRules::newTitle(index), "title");
    }

    void coordinates_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QStringList{"1.5", "0", "-2"} << "1.5|0|-2";
        QTest::newRow("six digits")
            << QStringList{"1234567", "0.1", "3.14159265"} << "1.23457e+06|0.1|3.14159";
        QTest::newRow("not numbers") << QStringList{"", "abc", "-"} << "0|0|0";
    }
    void coordinates()
    {
        QFETCH(QStringList, typed);
        QTEST(SpawnPointRules::vectorText(
                  SpawnPointRules::vector(typed.at(0), typed.at(1), typed.at(2))),
              "shown");
    }

    void moving_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("movedTo"); // -1: stays
        QTest::addColumn<QStringList>("order");
        QTest::newRow("second up") << 3 << 1 << -1 << 0 << QStringList{"b", "a", "c"};
        QTest::newRow("first up") << 3 << 0 << -1 << -1 << QStringList{"a", "b", "c"};
        QTest::newRow("last down") << 3 << 2 << 1 << -1 << QStringList{"a", "b", "c"};
        QTest::newRow("next to last down") << 3 << 1 << 1 << 2 << QStringList{"a", "c", "b"};
        QTest::newRow("only one") << 1 << 0 << 1 << -1 << QStringList{"a"};
        QTest::newRow("none selected") << 3 << -1 << 1 << -1 << QStringList{"a", "b", "c"};
    }
    void moving()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(int, step);
        QFETCH(int, movedTo);
        SpawnPoints points = named(QStringList{"a", "b", "c"}.mid(0, count));
        QCOMPARE(step < 0 ? SpawnPointRules::canMoveUp(row, count)
                          : SpawnPointRules::canMoveDown(row, count),
                 movedTo >= 0);
        QCOMPARE(SpawnPointRules::move(points, row, step).value_or(-1), movedTo);
        QTEST(names(points), "order");
        const SpawnPoints numbered = SpawnPointRules::renumbered(points);
        for (int i = 0; i < numbered.size(); ++i)
            QCOMPARE(numbered.at(i).id(), i);
    }

    void cleanup() { console.reset(); }

    void reorderAndDeleteRenumberTheList()
    {
        signIn();
        // Acme01 starts at "Start", with "Stage" second.
        whenShown<Zelt_SpawnPointsDialog>([](Zelt_SpawnPointsDialog *dialog) {
            QCOMPARE(dialog->windowTitle(),
                     QStringLiteral("Manage Spawn Points for Meeting ACME01"));
            auto *table = in<QTableWidget>(dialog, "tblSpawnPoints");
            QCOMPARE(column(table, 0), (QStringList{"Default", "1"}));
            QCOMPARE(column(table, 3), (QStringList{"0|0|0", "0|180|0"}));
            QVERIFY(!in<QPushButton>(dialog, "btnSPUp")->isEnabled());
            table->selectRow(1);
            QVERIFY(!in<QPushButton>(dialog, "btnSPDown")->isEnabled());
            in<QPushButton>(dialog, "btnSPUp")->click();
            QCOMPARE(column(table, 1), (QStringList{"Stage", "Start"}));
            QCOMPARE(table->selectedRanges().first().topRow(), 0);
            QVERIFY(in<QPushButton>(dialog, "btnSPDown")->isEnabled());
            clickOk(dialog);
        });
        openSpawnPointsOf(QStringLiteral("ACME01"));
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 1, 10000);
        QJsonArray sent = sentSpawnPoints();
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0)["Name"].toString(), QStringLiteral("Stage"));
        QCOMPARE(sent.at(0)["Id"].toInt(), 0);
        QCOMPARE(sent.at(1)["Name"].toString(), QStringLiteral("Start"));
        QCOMPARE(sent.at(1)["Id"].toInt(), 1);
        QCOMPARE(sent.at(0)["Position"]["z"].toDouble(), 2.5);

        // The panel shows what the stand-in keeps once a poll has come back after the update.
        QTRY_COMPARE_WITH_TIMEOUT(console->sim.meetingInfo(QStringLiteral("Acme01"))["spawnPoints"]
                                      .toArray()
                                      .first()["Name"]
                                      .toString(),
                                  QStringLiteral("Stage"), 10000);
        // Earlier polls were answered before this one was sent, so its answer comes last.
        auto *info = console->window->findChild<Zelt_MeetingsInfoThread *>();
        QSignalSpy polled(info, &Zelt_MeetingsInfoThread::meetingsInfo);
        info->getMeetingsInfo();
        QTRY_VERIFY_WITH_TIMEOUT(
            !polled.isEmpty() && firstSpawnPoint(polled.last().first()) == "Stage", 10000);

        // Deleting the default makes the next point the default.
        whenShown<Zelt_SpawnPointsDialog>([](Zelt_SpawnPointsDialog *dialog) {
            auto *table = in<QTableWidget>(dialog, "tblSpawnPoints");
            QCOMPARE(column(table, 1), (QStringList{"Stage", "Start"}));
            table->selectRow(0);
            in<QPushButton>(dialog, "btnSPDelete")->click();
            QCOMPARE(column(table, 0), QStringList{"Default"});
            QVERIFY(table->selectedRanges().isEmpty());
            QVERIFY(!in<QPushButton>(dialog, "btnSPDelete")->isEnabled());
            QVERIFY(!in<QPushButton>(dialog, "btnSPModify")->isEnabled());
            clickOk(dialog);
        });
        openSpawnPointsOf(QStringLiteral("ACME01"));
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 2, 10000);
        sent = sentSpawnPoints();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0)["Name"].toString(), QStringLiteral("Start"));
        QCOMPARE(sent.at(0)["Id"].toInt(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            console->sim.meetingInfo(QStringLiteral("Acme01"))["spawnPoints"].toArray().size(), 1,
            10000);

        // Cancel sends nothing.
        QSignalSpy published(console->window->findChild<Zelt_Meetings *>(),
                             &Zelt_Meetings::meetingConfigChanged);
        whenShown<Zelt_SpawnPointsDialog>([](Zelt_SpawnPointsDialog *dialog) {
            in<QTableWidget>(dialog, "tblSpawnPoints")->selectRow(0);
            in<QPushButton>(dialog, "btnSPDelete")->click();
            dialog->reject();
        });
        openSpawnPointsOf(QStringLiteral("ACME01"));
        QCOMPARE(published.count(), 0);
    }

    void positionIsLoadedFromAParticipant()
    {
        signIn();
        auto *info = console->window->findChild<Zelt_MeetingsInfoThread *>();
        QString tom;
        whenShown<Zelt_SpawnPointsDialog>([&](Zelt_SpawnPointsDialog *dialog) {
            whenShown<Zelt_SpawnPointEditDialog>([&](Zelt_SpawnPointEditDialog *editor) {
                QCOMPARE(in<QLineEdit>(editor, "leId")->text(), QStringLiteral("2"));
                QCOMPARE(in<QLineEdit>(editor, "leTitle")->text(), QStringLiteral("Position 2"));
                QVERIFY(in<QLineEdit>(editor, "lePosX")->text().isEmpty());
                auto *ok = in<QDialogButtonBox>(editor, "buttonBox")->button(QDialogButtonBox::Ok);
                in<QLineEdit>(editor, "leTitle")->clear();
                QVERIFY(!ok->isEnabled());
                in<QLineEdit>(editor, "leTitle")->setText(QStringLiteral("Front row"));
                QVERIFY(ok->isEnabled());

                // The participants follow the live polls; the choice stays.
                auto *players = in<QComboBox>(editor, "cmbPlayers");
                players->setCurrentIndex(
                    players->findText(QStringLiteral(" - Tom"), Qt::MatchEndsWith));
                tom = players->currentData().toString();
                const int zoe =
                    console->sim.addParticipant(QStringLiteral("Acme01"), QStringLiteral("Zoe"));
                QCOMPARE(players->findText(QString::number(zoe) + QStringLiteral(" - Zoe")), -1);
                info->getMeetingsInfo();
                QTRY_VERIFY_WITH_TIMEOUT(
                    players->findText(QString::number(zoe) + QStringLiteral(" - Zoe")) >= 0, 10000);
                QCOMPARE(players->currentData().toString(), tom);

                in<QPushButton>(editor, "btnLoadPos")->click();
                QTRY_COMPARE_WITH_TIMEOUT(in<QLineEdit>(editor, "lePosZ")->text(),
                                          QStringLiteral("-2"), 10000);
                QCOMPARE(in<QLineEdit>(editor, "lePosX")->text(), QStringLiteral("1"));
                QCOMPARE(in<QLineEdit>(editor, "leRotY")->text(), QStringLiteral("20"));
                clickOk(editor);
            });
            in<QPushButton>(dialog, "btnSPAdd")->click();
            QCOMPARE(column(in<QTableWidget>(dialog, "tblSpawnPoints"), 2).value(2),
                     QStringLiteral("1|0|-2"));
            // Nothing is saved before OK.
            QCOMPARE(console->requestCount("meetingInfoUpdate"), 0);
            clickOk(dialog);
        });
        openSpawnPointsOf(QStringLiteral("ACME01"));

        const auto commands = console->sim.received(QStringLiteral("meetingCommand"));
        QCOMPARE(commands.size(), 1);
        QVERIFY(commands.first().request.path.endsWith(QLatin1String("/meeting/Acme01/command")));
        const QJsonObject command = QJsonDocument::fromJson(commands.first().request.body).object();
        QCOMPARE(command["command"].toString(), QStringLiteral("GetPlayerPos"));
        QCOMPARE(command["params"].toArray(), QJsonArray{tom});

        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 1, 10000);
        const QJsonArray sent = sentSpawnPoints();
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent.at(2)["Id"].toInt(), 2);
        QCOMPARE(sent.at(2)["Name"].toString(), QStringLiteral("Front row"));
        QCOMPARE(vector(sent.at(2)["Position"]), QStringLiteral("1|0|-2"));
        QCOMPARE(vector(sent.at(2)["Rotation"]), QStringLiteral("0|20|0"));
    }
};

QTEST_MAIN(TestSpawnPoints)
#include "tst_spawnpoints.moc"
