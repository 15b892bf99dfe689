#include "ConsoleHarness.h"
#include "PasswordChange.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using Kind = Prompt::Kind;
using Step = std::function<void(QDialog *)>;

static QDialogButtonBox *buttonBox(QDialog *dialog)
{
    return dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
}

// Types the three passwords and presses the added Ok button.
static Step submit(const QString &current, const QString &newPassword, const QString &confirm)
{
    return [=](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("leOldPW"))->setText(current);
        dialog->findChild<QLineEdit *>(QStringLiteral("leNewPW1"))->setText(newPassword);
        dialog->findChild<QLineEdit *>(QStringLiteral("leNewPW2"))->setText(confirm);
        for (QAbstractButton *button : buttonBox(dialog)->buttons())
            if (buttonBox(dialog)->buttonRole(button) == QDialogButtonBox::ActionRole)
                button->click();
    };
}

// The user menu's Change Password and About dialogs, against the stand-in in this process.
class TestAccountDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConsoleHarness> console;

    void loginAsAnna() { QVERIFY(console->signIn(QStringLiteral("anna"))); }

    // Triggers the menu action and plays the steps on its modal dialog, one whenever the
    // button box is ready; with none left the dialog is rejected, so nothing hangs.
    void runDialog(const char *action, const char *dialogClass, QList<Step> steps)
    {
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || qstrcmp(dialog->metaObject()->className(), dialogClass) != 0 ||
                !buttonBox(dialog)->isEnabled())
                return;
            if (steps.isEmpty())
                dialog->reject();
            else
                steps.takeFirst()(dialog);
        });
        poll.start(10);
        console->window->findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }

    // The bearer token that the window's own main service client sends next.
    QByteArray windowClientBearer()
    {
        console->sim.clearReceived();
        console->window
            ->findChild<Zelt_Service_API::ZeltMeetingServiceApi *>({}, Qt::FindDirectChildrenOnly)
            ->meetingInfo(QStringLiteral("acme01"));
        (void)QTest::qWaitFor([this] { return !console->sim.received("meetingInfo").isEmpty(); },
                              10000);
        return console->sim.received("meetingInfo").value(0).request.header("authorization");
    }

private slots:
    void init()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
    }
    void cleanup() { console.reset(); }

    void formIsCheckedInOrder_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("all empty") << ""
                                   << ""
                                   << ""
                                   << "Current Password field is empty";
        QTest::newRow("new empty") << "old"
                                   << ""
                                   << "x"
                                   << "New Password field is empty";
        QTest::newRow("confirmation empty") << "old"
                                            << "abcdefgh"
                                            << ""
                                            << "Password Confirmation field is empty";
        QTest::newRow("mismatch before length")
            << "old"
            << "short"
            << "Short"
            << "Password Confirmation doesn't match New Password";
        QTest::newRow("7 characters") << "old"
                                      << "abcdefg"
                                      << "abcdefg"
                                      << "Password is too short (minimum is 8 characters)";
        QTest::newRow("8 characters") << "old"
                                      << "abcdefgh"
                                      << "abcdefgh"
                                      << "";
    }
    void formIsCheckedInOrder()
    {
        QFETCH(QString, current);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QTEST(PasswordChange::refusal(current, newPassword, confirmation).value_or(QString()),
              "refusal");
    }

    void wrongPasswordIsNamedInAnyCapitalisation()
    {
        QCOMPARE(PasswordChange::failureText(R"(Error, {"message":"Invalid USER Credentials"})"),
                 "The password you have entered is wrong. Your password was not changed.");
    }

    void changedPasswordHandsNewTokensToTheWindow()
    {
        loginAsAnna();
        const Zelt_LoginData before = console->window->session();
        console->sim.setTokenLifetime(1000);
        runDialog("actionChangePassword", "Zelt_ChangePasswordDialog",
                  {submit("anna-demo", "anna-new-1", "anna-new-1")});

        QCOMPARE(console->prompt.texts(Kind::Information), QStringList{"Password changed"});
        const auto sent = console->sim.received(QStringLiteral("authPasswordResetPost"));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().request.method + " " + sent.first().request.path.toUtf8(),
                 "PATCH /auth/user/" + before.id.toUtf8() + "/pwdreset");
        const QMap<QString, QString> form{{"client", "Brenn"},
                                          {"username", "anna"},
                                          {"password", "anna-new-1"},
                                          {"passwordold", "anna-demo"}};
        QCOMPARE(sent.first().request.form(), form);
        QVERIFY(sent.first().request.header("authorization").isEmpty());

        const Zelt_LoginData &after = console->window->session();
        QVERIFY(after.accessToken != before.accessToken);
        QVERIFY(after.refreshToken != before.refreshToken);
        QVERIFY(qAbs(QDateTime::currentDateTime().secsTo(after.tokenExpiry) - 1000) < 10);
        QCOMPARE(windowClientBearer(), "Bearer " + after.accessToken.toUtf8());
    }

    void refusedChangesKeepTheDialogOpen()
    {
        loginAsAnna();
        console->sim.failNext(QStringLiteral("authPasswordResetPost"), 1, 500);
        const QString token = console->window->session().accessToken;
        bool stillOpen = false;
        runDialog("actionChangePassword", "Zelt_ChangePasswordDialog",
                  {submit("anna-demo", "abcdefgh", "abcdefgX"),
                   submit("anna-demo", "abcdefgh", "abcdefgh"),
                   submit("WRONG", "abcdefgh", "abcdefgh"), [&](QDialog *) { stillOpen = true; }});

        QVERIFY(stillOpen);
        QCOMPARE(console->prompt.titles(Kind::Critical),
                 (QStringList{"Cannot change Password", "Error", "Error"}));
        QCOMPARE(console->prompt.texts(Kind::Critical).mid(1),
                 (QStringList{"Unknown error changing password.",
                              "The password you have entered is wrong. Your password was not "
                              "changed."}));
        // The refused form never reached the service; the session stayed as it was.
        QCOMPARE(console->sim.received(QStringLiteral("authPasswordResetPost")).size(), 2);
        QCOMPARE(console->window->session().accessToken, token);
    }

    void cancelHandsTheUnchangedSessionBack()
    {
        loginAsAnna();
        const Zelt_LoginData before = console->window->session();
        console->window->setServiceApiToken(QStringLiteral("stale"));
        runDialog("actionChangePassword", "Zelt_ChangePasswordDialog", {[](QDialog *dialog) {
                      buttonBox(dialog)->button(QDialogButtonBox::Cancel)->click();
                  }});

        QCOMPARE(console->window->session().tokenExpiry, before.tokenExpiry);
        QCOMPARE(windowClientBearer(), "Bearer " + before.accessToken.toUtf8());
        QVERIFY(console->sim.received(QStringLiteral("authPasswordResetPost")).isEmpty());
    }

    void handedOverSessionKeepsEveryTextInView()
    {
        QVERIFY(console->signIn(QStringLiteral("vera")));
        console->window->resize(900, 650);
        console->window->show();
        auto *meetings = console->window->findChild<QTableWidget *>(QStringLiteral("tblMeetings"));
        auto *members =
            console->window->findChild<QTableWidget *>(QStringLiteral("tblMeetingMembers"));
        QTRY_VERIFY_WITH_TIMEOUT(meetings->rowCount() > 0, 10000);
        meetings->selectRow(0);
        QTRY_VERIFY_WITH_TIMEOUT(members->rowCount() > 0, 10000);
        runDialog("actionChangePassword", "Zelt_ChangePasswordDialog", {});

        // Each id and creator fits its column, and the members' roles are not pushed out.
        const QFontMetrics metrics = meetings->fontMetrics();
        for (int row = 0; row < meetings->rowCount(); ++row)
            for (int column : {0, 4}) {
                const QString text = meetings->item(row, column)->text();
                QVERIFY2(meetings->columnWidth(column) > metrics.horizontalAdvance(text),
                         qPrintable(text));
            }
        QVERIFY(members->columnViewportPosition(4) + members->columnWidth(4) <=
                members->viewport()->width());
    }

    void aboutShowsVersionAndNotice_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("built-in notice") << QByteArray();
        QTest::newRow("copyright.txt, UTF-8") << QByteArray("© Händler GmbH");
    }
    void aboutShowsVersionAndNotice()
    {
        QFETCH(QByteArray, file);
        QFile notice(QCoreApplication::applicationDirPath() + QStringLiteral("/copyright.txt"));
        notice.remove();
        if (!file.isEmpty())
            QVERIFY(notice.open(QIODevice::WriteOnly) && notice.write(file) && notice.flush());
        notice.close();
        loginAsAnna();
        QStringList texts;
        runDialog("actionAbout", "Zelt_VersionDialog", {[&](QDialog *dialog) {
                      texts << dialog->windowTitle();
                      for (const char *name : {"lblTitle", "lblVersion", "lblCopyright"})
                          texts << dialog->findChild<QLabel *>(name)->text();
                      texts << QString::number(
                          buttonBox(dialog)->button(QDialogButtonBox::Cancel)->isVisible());
                      buttonBox(dialog)->button(QDialogButtonBox::Ok)->click();
                  }});
        notice.remove();

        QCOMPARE(texts.mid(0, 3),
                 (QStringList{"About Vorel Console", "Vorel Console", "Vorel Console V3.1.2"}));
        if (file.isEmpty())
            QVERIFY(texts.value(3).startsWith(QStringLiteral("Copyright")));
        else
            QCOMPARE(texts.value(3), QString::fromUtf8(file));
        QCOMPARE(texts.value(4), QStringLiteral("0")); // Cancel hidden
    }
};

QTEST_MAIN(TestAccountDialogs)
#include "tst_accountdialogs.moc"
