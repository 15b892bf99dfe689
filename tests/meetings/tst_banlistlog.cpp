#include "BanlistEntries.h"
#include "PanelDialogs.h"
#include "Zelt_BanlistDialog.h"
#include "Zelt_LogfileDialog.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

#include <memory>

using namespace PanelDialogs;

// The banlist and log dialogs of the meetings panel against the stand-in.
class TestBanlistLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConsoleHarness> console;

    void signInAsAdministrator()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
        QVERIFY(console->signIn(QStringLiteral("vera")));
        QTRY_VERIFY_WITH_TIMEOUT(console->child<QTableWidget>("tblMeetings")->rowCount() > 0,
                                 10000);
    }
    QList<VorelSim::ReceivedRequest> received(const char *operation) const
    {
        return console->sim.received(QString::fromLatin1(operation));
    }

private slots:
    void cleanup() { console.reset(); }

    void customEntryRefusals_data()
    {
        QTest::addColumn<QVariant>("name");
        QTest::addColumn<QVariant>("url");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        const QString noName = QStringLiteral("Cannot add entry without a name.");
        const QString noUrl = QStringLiteral("Cannot add empty entry.");
        QTest::newRow("name cancelled") << QVariant() << QVariant() << 1 << noName;
        QTest::newRow("empty name") << QVariant(QString()) << QVariant() << 1 << noName;
        QTest::newRow("URL cancelled") << QVariant("Casino") << QVariant() << 2 << noUrl;
        QTest::newRow("empty URL") << QVariant("Casino") << QVariant(QString()) << 2 << noUrl;
        QTest::newRow("pattern") << QVariant("Casino") << QVariant("*casino*") << 2 << QString();
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
        QTEST(int(prompt.titles(Prompt::Kind::Text).size()), "asked");
        QCOMPARE(prompt.texts(Prompt::Kind::Information),
                 refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(entry.has_value(), refusal.isEmpty());
    }

    void banlistEntriesAreAddedAndDeletedAtTheService()
    {
        signInAsAdministrator();
        whenShown<Zelt_BanlistDialog>([this](Zelt_BanlistDialog *dialog) {
            auto *list = in<QListWidget>(dialog, "banlst");
            auto *remove = in<QPushButton>(dialog, "btnDelete");
            QTRY_COMPARE_WITH_TIMEOUT(list->count(), 2, 10000);
            QCOMPARE(list->item(0)->text(), "#1 - Video portals (*://*.badvideo.example/*)");
            QVERIFY(!remove->isEnabled());

            console->prompt.answer(QStringLiteral("Casino"));
            console->prompt.answer(QStringLiteral("*casino*"));
            in<QPushButton>(dialog, "btnAddCustom")->click();
            QTRY_COMPARE_WITH_TIMEOUT(list->count(), 3, 10000);
            QCOMPARE(list->item(2)->text(), "#3 - Casino (*casino*)");
            QCOMPARE(QJsonDocument::fromJson(received("banlistPost").first().request.body).object(),
                     (QJsonObject{{"Filename", "Casino"}, {"Checksum", "*casino*"}, {"Mode", 3}}));

            list->setCurrentRow(2);
            remove->click();
            QTRY_COMPARE_WITH_TIMEOUT(list->count(), 2, 10000);
            QCOMPARE(received("banlistDelete").first().request.queryValue("banlistId"), "3");
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
        signInAsAdministrator();
        for (int line = 1; line <= 300; ++line)
            console->sim.state().serviceLog.addLine(QStringLiteral("line %1").arg(line));
        auto *timer = console->window->findChild<QTimer *>(QStringLiteral("refreshTimer"));
        whenShown<Zelt_LogfileDialog>([&](Zelt_LogfileDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), "Service Logfile");
            auto *view = in<QPlainTextEdit>(dialog, "teLogfile");
            QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains("line 300\n"), 10000);
            // Every line ends with a line break, so one empty block follows the lines.
            QCOMPARE(view->document()->blockCount(), 100 + 1);
            // Auto Update asks again every second, with the lines chosen at the time.
            in<QSpinBox>(dialog, "spnLines")->setValue(150);
            QTRY_COMPARE_WITH_TIMEOUT(view->document()->blockCount(), 150 + 1, 10000);
            QCOMPARE(received("serviceLogfile").first().request.queryValue("count"), "100");
            QCOMPARE(received("serviceLogfile").last().request.queryValue("count"), "150");

            // The view follows the end until the user scrolls away; then it keeps its place.
            QScrollBar *bar = view->verticalScrollBar();
            QVERIFY(bar->maximum() > 0);
            QCOMPARE(bar->value(), bar->maximum());
            bar->setValue(10);
            console->sim.state().serviceLog.addLine(QStringLiteral("line 301"));
            QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains("line 301\n"), 10000);
            QCOMPARE(bar->value(), 10);

            QVERIFY(timer->isActive());
            in<QCheckBox>(dialog, "chkAutoUpdate")->setChecked(false);
            QVERIFY(!timer->isActive());
            in<QCheckBox>(dialog, "chkAutoUpdate")->setChecked(true);
            QVERIFY(timer->isActive());
            clickOk(dialog);
        });
        console->child<QPushButton>("btnSvcLog")->click();
        QVERIFY(!timer->isActive());
    }

    void mirrorLogOfTheSelectedMeeting()
    {
        signInAsAdministrator();
        selectMeeting(*console, QStringLiteral("ACME01"));
        whenShown<Zelt_LogfileDialog>([](Zelt_LogfileDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), "Mirror Server Logfile - Meeting acme01");
            QTRY_VERIFY_WITH_TIMEOUT(
                in<QPlainTextEdit>(dialog, "teLogfile")->toPlainText().contains("Mirror server"),
                10000);
            dialog->accept();
        });
        console->child<QPushButton>("btnMirLog")->click();
        for (const auto &request : received("meetingLogfile")) {
            QVERIFY(request.request.path.contains("/acme01/logfile"));
            QCOMPARE(request.request.queryValue("count"), "100");
        }
        QVERIFY(!received("meetingLogfile").isEmpty());
    }
};

QTEST_MAIN(TestBanlistLog)
#include "tst_banlistlog.moc"
