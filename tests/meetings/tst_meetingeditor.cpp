#include "MeetingPassword.h"
#include "ScriptedPrompt.h"
#include "Zelt_LoginData.h"
#include "Zelt_MeetingEditor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using Zelt_MeetingService_API::ZeltMeeting;

namespace {
// An editor on screen over a meeting, driven through its widgets as a user would.
struct Editor
{
    ZeltMeeting meeting;
    Zelt_MeetingEditor dialog;

    Editor(const QString &json, int mode, const Zelt_LoginData *login = nullptr)
        : meeting(json), dialog(nullptr, &meeting, mode)
    {
        dialog.setLoginData(login);
        dialog.show();
        // The form is filled shortly after the dialog appears; the checks fail if it never is.
        (void)QTest::qWaitFor([this] { return !dialog.windowTitle().isEmpty(); });
    }
    QLineEdit *edit(const char *name) { return dialog.findChild<QLineEdit *>(name); }
    QComboBox *combo(const char *name) { return dialog.findChild<QComboBox *>(name); }
    void click(int button)
    {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(
                              QDialogButtonBox::StandardButton(button)),
                          Qt::LeftButton);
    }
};

const QString Stored = R"({"id": 7, "meetingId": "Acme01", "title": "Kick-off", "password": "abc=",
    "description": "Q3", "creatorId": "u-1", "creator": "anna", "created": "2024-05-02",
    "license": "default", "status": "pending", "audioMode": 1, "audioMode3D": 10, "chatMode": 1,
    "presenter": {"name": "Anna", "email": "a@x.org"}})";
const QString NewDigest =
    "qlTe+eC7EcHrv8l6nuY6+elcT98dAysd3MDyFmH3SGUdKyuPuU6a4EF4BVTbKYFdqhwP6ZHdrlTv8MTCjNnSDA==";
} // namespace

// The meeting editor: what it shows of a meeting and what it writes back on OK.
class TestMeetingEditor : public QObject
{
    Q_OBJECT

    ScriptedPrompt prompt;

private slots:
    void passwordDigest()
    {
        QCOMPARE(MeetingPassword::digest("welcome"),
                 "co20iYnJh4vbcnBYrg0JaMWQL0iN2ePUpKo/kEENpVZv0Mp"
                 "fWcalgVTM4uXI56JYannYg5fRLEa4MO5QiQlx6w==");
        QCOMPARE(MeetingPassword::digest(QStringLiteral("P\u00e4sswort")),
                 "71ezASzjHhcufqVLoIplNj5bewE3WCU11w+KIGr+Ukscv//yOOjXZOz63r/wSvctpJNDXRgZL632IMb"
                 "ndTtGJQ==");
    }

    void createNeedsTitleAndNamesCreator()
    {
        Zelt_LoginData login;
        login.id = "u-9";
        login.userId = "vera";
        Editor editor("{}", Zelt_MeetingEditor::Create, &login);
        QCOMPARE(editor.dialog.windowTitle(), QString("Create a new Meeting"));
        QTest::keyClicks(editor.edit("leDescription"), "Q3");
        editor.combo("cmbChatMode")->setCurrentIndex(1);
        editor.combo("cmbLicense")->setCurrentIndex(1);
        editor.click(QDialogButtonBox::Ok);
        QCOMPARE(prompt.titles(Prompt::Kind::Critical), QStringList{"Meeting Title not set"});
        QCOMPARE(prompt.texts(Prompt::Kind::Critical),
                 QStringList{"Meeting Title cannot be empty."});
        QVERIFY(editor.dialog.isVisible());
        QVERIFY(!editor.meeting.isSet());

        QTest::keyClicks(editor.edit("leTitle"), "Launch");
        editor.click(QDialogButtonBox::Ok);
        QCOMPARE(editor.dialog.result(), int(QDialog::Accepted));
        const QJsonObject expected{
            {"title", "Launch"},  {"description", "Q3"}, {"creator", "vera"},
            {"creatorId", "u-9"}, {"status", "pending"}, {"license", "endless"},
            {"audioMode", 0},     {"audioMode3D", 0},    {"chatMode", 1}};
        QCOMPARE(editor.meeting.asJsonObject(), expected);
    }

    void modifyKeepsOtherFields_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("ok") << int(QDialogButtonBox::Ok) << "Kick-off 2";
        QTest::newRow("cancel") << int(QDialogButtonBox::Cancel) << "Kick-off";
    }
    void modifyKeepsOtherFields()
    {
        QFETCH(int, button);
        Editor editor(Stored, Zelt_MeetingEditor::Modify);
        QJsonObject expected = editor.meeting.asJsonObject();
        QCOMPARE(editor.dialog.windowTitle(), QString("Modify a Meeting"));
        QTest::keyClicks(editor.edit("leTitle"), " 2");
        editor.click(button);
        QVERIFY(!editor.dialog.isVisible());
        QFETCH(QString, title);
        expected.insert("title", title);
        QCOMPARE(editor.meeting.asJsonObject(), expected);
    }

    void password_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QVariant>("typed");
        QTest::addColumn<QVariant>("written");
        // Without typed text the field is left alone; otherwise it is clicked into first.
        const auto row = [](const char *name, int mode, bool stored, const QVariant &typed,
                            const QVariant &written) {
            QTest::newRow(name) << mode
                                << (stored ? R"({"title": "T", "password": "abc="})"
                                           : R"({"title": "T"})")
                                << typed << written;
        };
        row("new, left empty", Zelt_MeetingEditor::Create, false, "", QVariant());
        row("new, typed", Zelt_MeetingEditor::Create, false, "new", NewDigest);
        row("untouched", Zelt_MeetingEditor::Modify, true, QVariant(), "abc=");
        row("focused", Zelt_MeetingEditor::Modify, true, "", "");
        row("retyped", Zelt_MeetingEditor::Modify, true, "new", NewDigest);
        row("none, focused", Zelt_MeetingEditor::Modify, false, "", QVariant());
    }
    void password()
    {
        QFETCH(int, mode);
        QFETCH(QString, stored);
        QFETCH(QVariant, typed);
        Editor editor(stored, mode);
        QLineEdit *field = editor.edit("lePassword");
        QCOMPARE(field->text(), editor.meeting.isPasswordSet() ? QString(8, QChar(0x2022)) : "");
        QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
        if (typed.isValid())
            QCoreApplication::sendEvent(field, &focusIn);
        QTest::keyClicks(field, typed.toString());
        editor.click(QDialogButtonBox::Ok);
        QCOMPARE(editor.dialog.result(), int(QDialog::Accepted));
        QTEST(editor.meeting.asJsonObject().value("password").toVariant(), "written");
    }

    // 3D voice only while voice is on; a stored 19 shows as "On" and is saved as 10.
    void voiceOnOffers3D()
    {
        Editor editor(R"({"title": "T", "audioMode": 0, "audioMode3D": 19})",
                      Zelt_MeetingEditor::Modify);
        QComboBox *voice = editor.combo("cmbVoiceMode"), *voice3D = editor.combo("cmbVoice3D");
        auto *label3D = editor.dialog.findChild<QLabel *>("lblVoice3D");
        QVERIFY(!voice3D->isVisible() && !label3D->isVisible());
        voice->setCurrentIndex(2);
        QVERIFY(voice3D->isVisible() && label3D->isVisible());
        voice->setCurrentIndex(0);
        QVERIFY(!voice3D->isVisible());
        voice->setCurrentIndex(1);
        QCOMPARE(voice3D->currentIndex(), 1);
        editor.click(QDialogButtonBox::Ok);
        QCOMPARE(editor.meeting.audioMode(), 1);
        QCOMPARE(editor.meeting.audioMode3D(), 10);
    }

    // The end-time mode shown, whether it can change, and the license an unchanged OK writes.
    void license_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("written");
        const auto row = [](const char *license, const char *status, int index, bool enabled,
                            const char *written) {
            QTest::addRow("%s, %s", license, status)
                << QString(R"({"title": "T", "license": "%1", "status": "%2"})")
                       .arg(license, status)
                << index << enabled << QString(written);
        };
        row("endless", "pending", 1, true, "endless");
        row("ENDLESS", "pending", 1, true, "endless");
        row("endless ", "pending", 0, true, "default");
        row("special1", "pending", 0, true, "default");
        row("endless", "active", 1, false, "endless");
        row("special1", "active", 0, false, "special1");
        row("special1", "ACTIVE", 0, false, "special1"); // locked, so kept
    }
    void license()
    {
        QFETCH(QString, stored);
        QFETCH(bool, enabled);
        Editor editor(stored, Zelt_MeetingEditor::Modify);
        QComboBox *box = editor.combo("cmbLicense");
        QTEST(box->currentIndex(), "index");
        QCOMPARE(box->isEnabled(), enabled);
        QCOMPARE(box->toolTip(), enabled ? "Select license mode"
                                         : "License cannot be changed while meeting is started");
        editor.click(QDialogButtonBox::Ok);
        QTEST(editor.meeting.license(), "written");
    }
};

QTEST_MAIN(TestMeetingEditor)
#include "tst_meetingeditor.moc"
