#include "MeetingRules.h"
#include "Zelt_LoginData.h"

#include <QtTest>

using Zelt_MeetingService_API::ZeltMeeting;
using Zelt_Service_API::ZeltMeetingInfo;
using Zelt_Service_API::ZeltMirrorClientInfo;

namespace {
ZeltMeeting meeting(const QString &id, const QString &status, const QString &license = {})
{
    ZeltMeeting m;
    m.setMeetingId(id);
    m.setStatus(status);
    m.setTitle(QStringLiteral("Weekly"));
    if (!license.isEmpty())
        m.setLicense(license);
    return m;
}

ZeltMeetingInfo infoWith(const QList<std::pair<qint32, QString>> &clients)
{
    QList<ZeltMirrorClientInfo> list;
    for (const auto &[id, role] : clients) {
        ZeltMirrorClientInfo client;
        client.setId(id);
        client.setCurrentRole(role);
        client.setVoiceEnabled(true);
        list << client;
    }
    ZeltMeetingInfo info;
    info.setClients(list);
    return info;
}
} // namespace

// The rules behind the meetings panel's rows, links and member actions.
class TestMeetingRules : public QObject
{
    Q_OBJECT

private slots:
    void timeLeftRoundsToMinutes_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("secondsAhead");
        QTest::addColumn<QString>("shown");
        QTest::newRow("endless") << "" << 0 << "∞";
        QTest::newRow("90 s") << "end" << 90 << "1 mins";
        QTest::newRow("91 s") << "end" << 91 << "2 mins";
        QTest::newRow("last second") << "end" << 1 << "0 mins";
        QTest::newRow("passed") << "end" << 0 << "";
        QTest::newRow("unreadable") << "soon" << 0 << "";
    }
    void timeLeftRoundsToMinutes()
    {
        QFETCH(QString, ending);
        QFETCH(int, secondsAhead);
        const QDateTime now(QDate(2026, 12, 8), QTime(14, 0), Qt::UTC);
        if (ending == QLatin1String("end"))
            ending = now.addSecs(secondsAhead).toString(Qt::TextDate);
        QTEST(MeetingRules::timeLeft(ending, now), "shown");
    }

    void statusIconFollowsStatusMirrorAndLicense_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("license");
        QTest::addColumn<int>("mirror"); // -1: not reported
        QTest::addColumn<QString>("icon");
        QTest::newRow("pending") << "pending"
                                 << "" << 1 << "red.svg";
        QTest::newRow("running") << "Active"
                                 << "default" << -1 << "green.svg";
        QTest::newRow("endless") << "active"
                                 << "endless" << 1 << "blue.svg";
        QTest::newRow("starting") << "active"
                                  << "endless" << 0 << "yellow.svg";
    }
    void statusIconFollowsStatusMirrorAndLicense()
    {
        QFETCH(QString, status);
        QFETCH(QString, license);
        QFETCH(int, mirror);
        ZeltMeetingInfo info;
        if (mirror >= 0)
            info.setStatusMirror(mirror);
        QTEST(MeetingRules::statusIcon(meeting("m", status, license), info).section('/', -1),
              "icon");
    }

    void meetingsAreKeyedCaseInsensitivelyLaterWins()
    {
        const auto map = MeetingRules::byKey(
            {meeting("ACME01", "pending"), meeting("acme01", "active"), meeting("b", "x")});
        QCOMPARE(map.keys(), (QStringList{"acme01", "b"}));
        QCOMPARE(map.value("acme01").status(), QStringLiteral("active"));
    }

    void administratorsListEveryMeeting()
    {
        Zelt_LoginData session;
        session.id = QStringLiteral("u-17");
        session.roles = {QStringLiteral("Zelt_Presenter")};
        QCOMPARE(MeetingRules::creatorFilter(session), QStringLiteral("u-17"));
        session.roles << QStringLiteral("zelt_administrator"); // names compare exactly
        QCOMPARE(MeetingRules::creatorFilter(session), QStringLiteral("u-17"));
        session.roles << QStringLiteral("Zelt_Group_Administrator");
        QCOMPARE(MeetingRules::creatorFilter(session), QStringLiteral("*"));
    }

    void startAndStopChangeOnlyTheStatus()
    {
        const ZeltMeeting stopped = MeetingRules::withToggledStatus(meeting("a", "Active"));
        QCOMPARE(stopped.status(), QStringLiteral("pending"));
        QCOMPARE(stopped.title(), QStringLiteral("Weekly"));
        QCOMPARE(MeetingRules::withToggledStatus(meeting("a", "closed")).status(),
                 QStringLiteral("active"));
    }

    void inviteLinkCarriesTheEncodedDigest()
    {
        QCOMPARE(
            MeetingRules::inviteLink("https://meet.example.com:8443/base", "acme01", "").toString(),
            QStringLiteral("https://meet.example.com/?meetingid=acme01"));
        QCOMPARE(MeetingRules::inviteLink("http://127.0.0.1:5000", "acme01", "a+b/c==").toString(),
                 QStringLiteral("http://127.0.0.1/?meetingid=acme01&pwd=a%2Bb%2Fc%3D%3D"));
    }

    void memberChangesTouchOnlyTheirClient()
    {
        const ZeltMeetingInfo info = infoWith({{1, "Presenter"}, {2, "User"}, {3, "Guide"}});
        const auto muted = MeetingRules::withVoice(info, 2, false);
        QVERIFY(muted);
        QCOMPARE(muted->clients().at(1).voiceEnabled(), false);
        QCOMPARE(muted->clients().at(0).voiceEnabled(), true);
        QCOMPARE(MeetingRules::withPresenterToggled(info, 1)->clients().at(0).currentRole(),
                 QStringLiteral("User"));
        QCOMPARE(MeetingRules::withPresenterToggled(info, 2)->clients().at(1).currentRole(),
                 QStringLiteral("Presenter"));
        QCOMPARE(MeetingRules::withPresenterToggled(info, 3)->clients().at(2).currentRole(),
                 QStringLiteral("Guide"));
        QVERIFY(!MeetingRules::withVoice(info, 9, false));
        QVERIFY(!MeetingRules::withPresenterToggled(info, 9));
    }
};

QTEST_MAIN(TestMeetingRules)
#include "tst_meetingrules.moc"
