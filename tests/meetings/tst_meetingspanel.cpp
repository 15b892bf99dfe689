#include "ConsoleHarness.h"
#include "NetworkIdle.h"
#include "Zelt_MeetingEditor.h"
#include "Zelt_Meetings.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using Kind = Prompt::Kind;

// The meetings panel in the main window, driven as a user would, against the stand-in.
class TestMeetingsPanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConsoleHarness> console;

    QTableWidget *meetingsTable() const { return console->child<QTableWidget>("tblMeetings"); }
    QTableWidget *membersTable() const { return console->child<QTableWidget>("tblMeetingMembers"); }
    QPushButton *button(const char *name) const { return console->child<QPushButton>(name); }

    void signIn(const QString &user)
    {
        QVERIFY2(console->signIn(user), qPrintable(user));
        QTRY_VERIFY_WITH_TIMEOUT(meetingsTable()->rowCount() > 0, 10000);
    }

    QStringList column(QTableWidget *table, int column) const
    {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
        return texts;
    }

    void select(const QString &id)
    {
        const int row = int(column(meetingsTable(), 0).indexOf(id));
        QVERIFY2(row >= 0, qPrintable(id));
        meetingsTable()->selectRow(row);
    }

    // The JSON bodies the stand-in received for one operation.
    QList<QJsonObject> bodies(const char *operation) const
    {
        QList<QJsonObject> result;
        for (const auto &received : console->sim.received(QString::fromLatin1(operation)))
            result << QJsonDocument::fromJson(received.request.body).object();
        return result;
    }

    void selectMember(const QString &alias)
    {
        QTRY_VERIFY_WITH_TIMEOUT(column(membersTable(), 2).contains(alias), 10000);
        membersTable()->selectRow(int(column(membersTable(), 2).indexOf(alias)));
    }

private slots:
    void init()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
    }
    void cleanup() { console.reset(); }

    void presenterSeesOwnMeetingsWithTheirLiveState()
    {
        signIn(QStringLiteral("anna"));
        const auto listing = console->sim.received(QStringLiteral("getMeetings")).last();
        QCOMPARE(listing.request.queryValue(QStringLiteral("creator")),
                 console->window->session().id);
        QCOMPARE(column(meetingsTable(), 0), (QStringList{"ACME01", "ACME02"}));
        QVERIFY(meetingsTable()->isColumnHidden(4));
        QVERIFY(button("btnSvcLog")->isHidden());
        // Acme01 runs with three participants and a limited license; Acme02 waits.
        QTRY_COMPARE_WITH_TIMEOUT(column(meetingsTable(), 7), (QStringList{"3", ""}), 10000);
        QVERIFY(column(meetingsTable(), 6).first().endsWith(QLatin1String(" mins")));
        QVERIFY(!meetingsTable()->item(0, 1)->icon().isNull());
        // The panel is on screen between the connection group and the storage tabs.
        console->window->show();
        auto *panel = console->window->findChild<Zelt_Meetings *>();
        QVERIFY(panel->isVisible());
        QVERIFY(panel->height() >= 200);
        QVERIFY(panel->geometry().bottom() <
                console->window->findChild<QWidget *>("widgetFileArea")->geometry().top());
    }

    void administratorSeesEveryMeetingWithItsCreator()
    {
        signIn(QStringLiteral("vera"));
        QCOMPARE(console->sim.received(QStringLiteral("getMeetings"))
                     .last()
                     .request.queryValue(QStringLiteral("creator")),
                 QStringLiteral("*"));
        QVERIFY(!meetingsTable()->isColumnHidden(4));
        QVERIFY(column(meetingsTable(), 4).contains(QStringLiteral("gustav")));
        QVERIFY(!button("btnSvcLog")->isHidden());
    }

    void startSendsTheWholeMeetingAndReloadsTheList()
    {
        signIn(QStringLiteral("anna"));
        select(QStringLiteral("ACME02"));
        QCOMPARE(button("btnMeetingActivate")->text(), QStringLiteral("&Start"));
        QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("serviceMeetings") > 0 && networkIdle(),
                                 10000);
        const int listings = console->requestCount("getMeetings");
        button("btnMeetingActivate")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("updateMeeting"), 1, 10000);
        const QJsonObject sent = bodies("updateMeeting").first();
        QCOMPARE(sent.value("status").toString(), QStringLiteral("active"));
        QCOMPARE(sent.value("meetingId").toString(), QStringLiteral("Acme02"));
        QCOMPARE(sent.value("creator").toString(), QStringLiteral("anna"));
        QVERIFY(sent.contains("title") && sent.contains("presenter") && sent.contains("license"));
        QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("getMeetings") > listings, 10000);
        // Now running: Stop sends "pending".
        QTRY_VERIFY_WITH_TIMEOUT(meetingsTable()->rowCount() == 2, 10000);
        // A late rebuild of the list drops the selection: select again until Stop is offered.
        const auto stopOffered = [&] {
            select(QStringLiteral("ACME02"));
            return button("btnMeetingActivate")->text() == QStringLiteral("&Stop");
        };
        QTRY_VERIFY_WITH_TIMEOUT(stopOffered(), 20000);
        button("btnMeetingActivate")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("updateMeeting"), 2, 10000);
        QCOMPARE(bodies("updateMeeting").last().value("status").toString(),
                 QStringLiteral("pending"));
    }

    void refusedUpdateSaysSo()
    {
        signIn(QStringLiteral("anna"));
        select(QStringLiteral("ACME02"));
        QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("serviceMeetings") > 0 && networkIdle(),
                                 10000);
        console->sim.failNext(QStringLiteral("updateMeeting"), 1, 403);
        button("btnMeetingActivate")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->prompt.texts(Kind::Critical),
                                  QStringList{"Not allowed to modify meeting."}, 10000);
    }

    void createdMeetingCarriesTheCreatorAndDeleteAsksFirst()
    {
        signIn(QStringLiteral("anna"));
        whenDialogShows<Zelt_MeetingEditor>([](Zelt_MeetingEditor *editor) {
            editor->findChild<QLineEdit *>("leTitle")->setText(QStringLiteral("Kick-off"));
            editor->findChild<QDialogButtonBox *>("buttonBox")
                ->button(QDialogButtonBox::Ok)
                ->click();
        });
        button("btnMeetingCreate")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("createMeeting"), 1, 10000);
        const QJsonObject created = bodies("createMeeting").first();
        QCOMPARE(created.value("title").toString(), QStringLiteral("Kick-off"));
        QCOMPARE(created.value("creator").toString(), QStringLiteral("anna"));
        QCOMPARE(created.value("status").toString(), QStringLiteral("pending"));
        QCOMPARE(created.value("presenter").toObject().value("name").toString(),
                 QStringLiteral("Anna Berg"));
        QVERIFY(!created.contains("password"));
        QTRY_COMPARE_WITH_TIMEOUT(meetingsTable()->rowCount(), 3, 10000);

        select(QStringLiteral("ACME02"));
        console->prompt.answerButton(Prompt::No);
        button("btnMeetingDelete")->click();
        QCOMPARE(console->requestCount("deleteMeeting"), 0);
        console->prompt.answerButton(Prompt::Yes);
        button("btnMeetingDelete")->click();
        QCOMPARE(console->prompt.texts(Kind::Question).last(),
                 QStringLiteral("Do you realy want to finally remove meeting acme02?"));
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("deleteMeeting"), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(meetingsTable()->rowCount(), 2, 10000);
    }

    void inviteLinkGoesToTheClipboard()
    {
        signIn(QStringLiteral("anna"));
        select(QStringLiteral("ACME02"));
        button("btnURL")->click();
        const QUrl service(console->sim.baseUrl());
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("http://%1/?meetingid=acme02").arg(service.host()));
        QCOMPARE(console->prompt.titles(Kind::Information).last(),
                 QStringLiteral("Invite URL Copied To Clipboard"));
    }

    void memberActionsReachTheRunningMeeting()
    {
        signIn(QStringLiteral("anna"));
        select(QStringLiteral("ACME01"));
        selectMember(QStringLiteral("Tom"));
        QVERIFY(membersTable()->isEnabled());
        QCOMPARE(button("btnMuteUser")->text(), QStringLiteral("Mute"));
        QCOMPARE(button("btnPresenter")->text(), QStringLiteral("Give Presenter"));
        const int tom = membersTable()->item(membersTable()->currentRow(), 0)->text().toInt();

        button("btnMuteUser")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 1, 10000);
        QCOMPARE(button("btnMuteUser")->text(), QStringLiteral("Unmute"));
        const auto mutedClient = [&](const QJsonObject &info) {
            for (const QJsonValue client : info.value("clients").toArray())
                if (client["Id"].toInt() == tom)
                    return client.toObject();
            return QJsonObject();
        };
        QCOMPARE(mutedClient(bodies("meetingInfoUpdate").last()).value("voiceEnabled"),
                 QJsonValue(false));

        selectMember(QStringLiteral("Tom"));
        button("btnPresenter")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 2, 10000);
        QCOMPARE(mutedClient(bodies("meetingInfoUpdate").last()).value("currentRole").toString(),
                 QStringLiteral("Presenter"));
        QCOMPARE(button("btnPresenter")->text(), QStringLiteral("Take Presenter"));

        console->prompt.answerButton(Prompt::Yes);
        button("btnKickUser")->click();
        console->prompt.answer(QStringLiteral("Five minutes break"));
        button("btnSendMsg")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingCommand"), 2, 10000);
        // Parallel connections: the two may arrive in either order.
        QMap<QString, QJsonArray> params;
        for (const QJsonObject &command : bodies("meetingCommand"))
            params.insert(command.value("command").toString(), command.value("params").toArray());
        // Both name the meeting by its key, in lower case, as the log requests do.
        for (const auto &command : console->sim.received(QStringLiteral("meetingCommand")))
            QCOMPARE(command.request.path, QStringLiteral("/zelt/svc/meeting/acme01/command"));
        QCOMPARE(params.value("KickPlayer"), QJsonArray{QString::number(tom)});
        QCOMPARE(params.value("SendMessage"), QJsonArray{"Five minutes break"});
        QCOMPARE(console->prompt.titles(Kind::Text), QStringList{"Send Message to Meeting ACME01"});
    }

    void kickReachesTheChosenMemberWhenOthersLeave()
    {
        signIn(QStringLiteral("anna"));
        select(QStringLiteral("ACME01"));
        selectMember(QStringLiteral("Tom"));
        const int tom = membersTable()->item(membersTable()->currentRow(), 0)->text().toInt();
        // The member listed above Tom leaves; the next poll moves Tom up a row.
        QVERIFY(console->sim.removeParticipant(QStringLiteral("Acme01"),
                                               membersTable()->item(0, 0)->text().toInt()));
        console->window->onMeetingStatusTimer();
        QTRY_COMPARE_WITH_TIMEOUT(membersTable()->rowCount(), 2, 10000);

        console->prompt.answerButton(Prompt::Yes);
        button("btnKickUser")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingCommand"), 1, 10000);
        QCOMPARE(bodies("meetingCommand").first().value("params").toArray(),
                 QJsonArray{QString::number(tom)});
    }

    void failedListingEndsTheProgram()
    {
        console->sim.failNext(QStringLiteral("getMeetings"), 1, 500);
        QVERIFY(console->signIn(QStringLiteral("anna")));
        QTRY_VERIFY_WITH_TIMEOUT(console->exits.exited(), 10000);
        QCOMPARE(console->exits.codes, QList<int>{0});
        QCOMPARE(console->prompt.titles(Kind::Critical),
                 QStringList{"Cannot connect to meeting service"});
    }
};

QTEST_MAIN(TestMeetingsPanel)
#include "tst_meetingspanel.moc"
