#include "ConsoleHarness.h"
#include "ExportFileNames.h"
#include "Zelt_ExportDialog.h"

#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <unistd.h>

using Kind = Prompt::Kind;

// Export All in the meetings panel: one components file per meeting with live info, each
// inside the chosen folder whatever the service calls the meeting.
class TestExportAll : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConsoleHarness> console;
    QTemporaryDir dir;

    // A meeting of the administrator with one spawn point named like the meeting.
    void addMeeting(const QString &meetingId, const QString &creator)
    {
        VorelSim::Meeting meeting;
        meeting.definition = {{"meetingId", meetingId},
                              {"creator", creator},
                              {"creatorId", "4f3b2a10-7c6d-4e5f-9a8b-000000000003"},
                              {"title", "hostile"},
                              {"status", "pending"},
                              {"license", "default"}};
        meeting.spawnPoints = {QJsonObject{{"Id", 1}, {"Name", meetingId}}};
        console->sim.state().meetings.insert(meeting.key(), meeting);
    }
    void signInWithLiveInfo()
    {
        QVERIFY(console->signIn(QStringLiteral("vera")));
        auto *table = console->child<QTableWidget>("tblMeetings");
        // The running Acme01 shows its users once the live info is in.
        QTRY_VERIFY_WITH_TIMEOUT(table->rowCount() > 0 && table->item(0, 0) &&
                                     !table->findItems("3", Qt::MatchExactly).isEmpty(),
                                 10000);
    }
    // Answers the dialog with button and the directory question with folder, if one is given.
    void exportAll(QDialogButtonBox::StandardButton button, const QString &folder = {})
    {
        whenDialogShows<Zelt_ExportDialog>([this, button](Zelt_ExportDialog *dialog) {
            dialogTitle = dialog->windowTitle();
            dialog->findChild<QDialogButtonBox *>()->button(button)->click();
        });
        if (!folder.isEmpty())
            console->prompt.answer(folder);
        console->child<QPushButton>("btnExportAll")->click();
        QCOMPARE(dialogTitle, QStringLiteral("Export Meetings"));
    }
    QString dialogTitle;

private slots:
    void init()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
    }
    void cleanup() { console.reset(); }

    void namesAreSafe_data()
    {
        QTest::addColumn<QString>("meetingId");
        QTest::addColumn<QString>("creator");
        QTest::addColumn<QString>("name");
        const auto row = [](const char *name, const QString &id, const QString &creator,
                            const QString &file) { QTest::newRow(name) << id << creator << file; };
        row("separators", "a/b\\c", "d", "a_b_c_d.vrl");
        row("refused", "<>:\"|?*", "\t", "_________.vrl");
        row("device", "COM1.a", "b", "_COM1.a_b.vrl");
        row("too long", QString(300, QChar(0xe9)), "x", QString(100, QChar(0xe9)) + ".vrl");
    }
    void namesAreSafe()
    {
        QFETCH(QString, meetingId);
        QFETCH(QString, creator);
        QFETCH(QString, name);
        QCOMPARE(ExportFileNames::safeName(meetingId, creator), name);
    }

    void sharedNamesGetANumber()
    {
        ExportFileNames names;
        QStringList given;
        for (const auto &[id, creator] : {std::pair{"a/b", "x"}, std::pair{"a\\b", "x"},
                                          std::pair{"A_b", "X"}, std::pair{"a_b_x", "2"}})
            given << names.next(id, creator);
        QCOMPARE(given, (QStringList{"a_b_x.vrl", "a_b_x_2.vrl", "A_b_X_3.vrl", "a_b_x_2_2.vrl"}));
    }

    void everyLiveMeetingGetsItsOwnFileInsideTheFolder()
    {
        addMeeting("a/b", "vera");
        addMeeting("a\\b", "vera");
        addMeeting("../up", "vera");
        addMeeting(QString::fromUtf16(u"n\0l", 3), "..");
        signInWithLiveInfo();
        const QString folder = dir.filePath("out");
        QVERIFY(QDir().mkpath(folder));
        exportAll(QDialogButtonBox::Ok, folder);

        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"out"});
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{"Acme01_anna.vrl", "Acme02_anna.vrl", "Acme03_gustav.vrl",
                              "North01_mia.vrl", "Sea01_sven.vrl", "Vorel01_vera.vrl",
                              "__up_vera.vrl", "a_b_vera.vrl", "a_b_vera_2.vrl", "n_l__.vrl"}));
        for (const auto &[file, meetingId] :
             {std::pair{"a_b_vera.vrl", "a/b"}, std::pair{"a_b_vera_2.vrl", "a\\b"}}) {
            QFile written(QDir(folder).filePath(file));
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QJsonObject components = QJsonDocument::fromJson(written.readAll()).object();
            QCOMPARE(components["spawnpoints"][0]["Name"].toString(), QString(meetingId));
        }
        QCOMPARE(console->prompt.texts(Kind::Information),
                 QStringList{"Meetings exported to " + folder + "."});
    }

    void oneUnwritableFileKeepsNoOtherFromBeingWritten()
    {
        signInWithLiveInfo();
        QTemporaryDir folder;
        // A folder where Acme02's file belongs cannot be replaced by it.
        QVERIFY(QDir(folder.path()).mkdir("Acme02_anna.vrl"));
        exportAll(QDialogButtonBox::Ok, folder.path());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 5);
        const QString report = console->prompt.texts(Kind::Warning).value(0);
        QVERIFY(report.contains("\nAcme02_anna.vrl: ") && report.endsWith(folder.path() + "."));
        QVERIFY(console->prompt.texts(Kind::Information).isEmpty());
    }

    void cancelledOrUnwritableReportsNoSuccess()
    {
        signInWithLiveInfo();
        exportAll(QDialogButtonBox::Cancel);
        QVERIFY(console->prompt.titles(Kind::Directory).isEmpty());

        QTemporaryDir locked;
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        // root may write anywhere but into /proc.
        exportAll(QDialogButtonBox::Ok, geteuid() == 0 ? QStringLiteral("/proc") : locked.path());
        QCOMPARE(console->prompt.titles(Kind::Directory),
                 QStringList{"Export all meetings to directory"});
        QCOMPARE(console->prompt.titles(Kind::Critical), QStringList{"Meetings not exported"});
        QVERIFY(console->prompt.texts(Kind::Critical).first().contains("Acme01_anna.vrl: "));
        QVERIFY(console->prompt.texts(Kind::Information).isEmpty());
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_MAIN(TestExportAll)
#include "tst_exportall.moc"
