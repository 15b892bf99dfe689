#include "BanlistEntries.h"
#include "ConsoleHarness.h"
#include "Zelt_BanlistDialog.h"
#include "Zelt_LogfileDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using Kind = Prompt::Kind;
using Zelt_Service_API::ZeltBanlistEntry;

namespace {
template <typename T> T *in(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

QStringList itemTexts(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

// Runs check on the dialog of class T once it shows, and closes it should check fail.
template <typename T, typename Check> void whenShown(Check check)
{
    whenDialogShows<T>([check](T *dialog) {
        check(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}
} // namespace

// The banlist and log dialogs of the meetings panel against the stand-in.
class TestBanlistLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConsoleHarness> console;

    void signIn(const QString &user)
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
        QVERIFY(console->signIn(user));
        QTRY_VERIFY_WITH_TIMEOUT(console->child<QTableWidget>("tblMeetings")->rowCount() > 0,
                                 10000);
    }
    QList<VorelSim::ReceivedRequest> received(const char *operation) const
    {
        return console->sim.received(QString::fromLatin1(operation));
    }

private slots:
    void cleanup() { console.reset(); }

    void itemText_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("filename");
        QTest::addColumn<QString>("checksum");
        QTest::addColumn<QString>("text");
        QTest::newRow("file") << 7 << "x.mp4"
                              << "ab12"
                              << "#7 - x.mp4 (ab12)";
        QTest::newRow("URL pattern") << 12 << "Portals"
                                     << "*://*.bad/*"
                                     << "#12 - Portals (*://*.bad/*)";
        QTest::newRow("nothing but the id") << 0 << ""
                                            << ""
                                            << "#0 -  ()";
    }
    void itemText()
    {
        QFETCH(int, id);
        QFETCH(QString, filename);
        QFETCH(QString, checksum);
        ZeltBanlistEntry entry;
        entry.setId(id);
        entry.setFilename(filename);
        entry.setChecksum(checksum);
        QTEST(BanlistEntries::itemText(entry), "text");
    }

    void customEntryRefusals_data()
    {
        QTest::addColumn<QVariant>("name");
        QTest::addColumn<QVariant>("url");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        const QStringList both{"Name", "URL"};
        QTest::newRow("name cancelled") << QVariant() << QVariant() << QStringList{"Name"}
                                        << "Cannot add entry without a name.";
        QTest::newRow("empty name") << QVariant(QString()) << QVariant() << QStringList{"Name"}
                                    << "Cannot add entry without a name.";
        QTest::newRow("URL cancelled")
            << QVariant("Casino") << QVariant() << both << "Cannot add empty entry.";
        QTest::newRow("empty URL")
            << QVariant("Casino") << QVariant(QString()) << both << "Cannot add empty entry.";
        QTest::newRow("pattern") << QVariant("Casino") << QVariant("*casino*") << both << "";
    }
    void customEntryRefusals()
    {
        QFETCH(QVariant, name);
        QFETCH(QVariant, url);
        QFETCH(QString, refusal);
        ScriptedPrompt prompt;
        prompt.answer(name);
        prompt.answer(url);
        const auto entry = BanlistEntries::askCustomEntry(nullptr);
        QTEST(prompt.titles(Kind::Text), "asked");
        QCOMPARE(prompt.texts(Kind::Information),
                 refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(entry.has_value(), refusal.isEmpty());
        if (entry) {
            QCOMPARE(entry->filename(), QStringLiteral("Casino"));
            QCOMPARE(entry->checksum(), QStringLiteral("*casino*"));
            QCOMPARE(entry->mode(), 3);
        }
    }

    void banlistEntriesAreAddedAndDeletedAtTheService()
    {
        signIn(QStringLiteral("vera"));
        whenShown<Zelt_BanlistDialog>([this](Zelt_BanlistDialog *dialog) {
            auto *list = in<QListWidget>(dialog, "banlst");
            auto *remove = in<QPushButton>(dialog, "btnDelete");
            QTRY_COMPARE_WITH_TIMEOUT(list->count(), 2, 10000);
            QCOMPARE(list->item(0)->text(),
                     QStringLiteral("#1 - Video portals (*://*.badvideo.example/*)"));
            QVERIFY(!remove->isEnabled());

            console->prompt.answer(QStringLiteral("Casino"));
            console->prompt.answer(QStringLiteral("*casino*"));
            in<QPushButton>(dialog, "btnAddCustom")->click();
            QTRY_COMPARE_WITH_TIMEOUT(list->count(), 3, 10000);
            QCOMPARE(itemTexts(list).last(), QStringLiteral("#3 - Casino (*casino*)"));
            const QJsonObject posted =
                QJsonDocument::fromJson(received("banlistPost").first().request.body).object();
            QCOMPARE(posted,
                     (QJsonObject{{"Filename", "Casino"}, {"Checksum", "*casino*"}, {"Mode", 3}}));

            list->setCurrentRow(2);
            QVERIFY(remove->isEnabled());
            remove->click();
            QTRY_COMPARE_WITH_TIMEOUT(list->count(), 2, 10000);
            QCOMPARE(received("banlistDelete").size(), 1);
            QCOMPARE(received("banlistDelete").first().request.queryValue("banlistId"),
                     QStringLiteral("3"));
            QVERIFY(!remove->isEnabled());
            dialog->accept();
        });
        console->child<QPushButton>("btnBanlist")->click();
        QCOMPARE(console->sim.state().banlist.size(), 2);
        // Each change reloaded the list from the service.
        QCOMPARE(received("banlistGet").size(), 3);
    }

    void serviceLogUpdatesEverySecondUntilStopped()
    {
        signIn(QStringLiteral("vera"));
        for (int line = 1; line <= 300; ++line)
            console->sim.state().serviceLog.addLine(QStringLiteral("line %1").arg(line));
        auto *logDialog = console->window->findChild<Zelt_LogfileDialog *>();
        auto *timer = logDialog->findChild<QTimer *>(QStringLiteral("refreshTimer"));
        whenShown<Zelt_LogfileDialog>([&](Zelt_LogfileDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Service Logfile"));
            auto *view = in<QPlainTextEdit>(dialog, "teLogfile");
            QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains(QLatin1String("line 300\n")),
                                     10000);
            // Every line ends with a line break, so one empty block follows the lines.
            QCOMPARE(view->document()->blockCount(), 100 + 1);
            // Auto Update asks again every second, with the lines chosen at the time.
            in<QSpinBox>(dialog, "spnLines")->setValue(150);
            QTRY_VERIFY_WITH_TIMEOUT(received("serviceLogfile").size() >= 3, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(view->document()->blockCount(), 150 + 1, 10000);
            QCOMPARE(received("serviceLogfile").first().request.queryValue("count"),
                     QStringLiteral("100"));
            QCOMPARE(received("serviceLogfile").last().request.queryValue("count"),
                     QStringLiteral("150"));

            // The view follows the end until the user scrolls away; then it keeps its place.
            QScrollBar *bar = view->verticalScrollBar();
            QVERIFY(bar->maximum() > 0);
            QCOMPARE(bar->value(), bar->maximum());
            bar->setValue(10);
            const int seen = int(received("serviceLogfile").size());
            console->sim.state().serviceLog.addLine(QStringLiteral("line 301"));
            QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains(QLatin1String("line 301\n")),
                                     10000);
            QVERIFY(received("serviceLogfile").size() > seen);
            QCOMPARE(bar->value(), 10);

            QVERIFY(timer->isActive());
            in<QCheckBox>(dialog, "chkAutoUpdate")->setChecked(false);
            QVERIFY(!timer->isActive());
            in<QCheckBox>(dialog, "chkAutoUpdate")->setChecked(true);
            QVERIFY(timer->isActive());
            QVERIFY(in<QDialogButtonBox>(dialog, "buttonBox")
                        ->button(QDialogButtonBox::Cancel)
                        ->isHidden());
            in<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        });
        console->child<QPushButton>("btnSvcLog")->click();
        QVERIFY(!timer->isActive());
    }

    void mirrorLogOfTheSelectedMeeting()
    {
        signIn(QStringLiteral("vera"));
        auto *table = console->child<QTableWidget>("tblMeetings");
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == QLatin1String("ACME01"))
                table->selectRow(row);
        whenShown<Zelt_LogfileDialog>([](Zelt_LogfileDialog *dialog) {
            QCOMPARE(dialog->windowTitle(),
                     QStringLiteral("Mirror Server Logfile - Meeting acme01"));
            in<QCheckBox>(dialog, "chkAutoUpdate")->setChecked(false);
            auto *view = in<QPlainTextEdit>(dialog, "teLogfile");
            QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains(QLatin1String("Mirror server "
                                                                                "running")),
                                     10000);
            dialog->accept();
        });
        console->child<QPushButton>("btnMirLog")->click();
        const auto requests = received("meetingLogfile");
        QVERIFY(!requests.isEmpty());
        for (const auto &request : requests) {
            QVERIFY(request.request.path.contains(QLatin1String("/acme01/logfile")));
            QCOMPARE(request.request.queryValue("count"), QStringLiteral("100"));
        }
    }
};

QTEST_MAIN(TestBanlistLog)
#include "tst_banlistlog.moc"
