// The live info object's poll, its three-failures rule and the session token it keeps fresh,
// against the platform stand-in.

#include "InfoHarness.h"
#include "RecordingHttpServer.h"
#include "Zelt_MeetingsInfoThread.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QUrlQuery>

using namespace Zelt_Service_API;
using Zelt_AuthService_API::ZeltAuthApi;

namespace {
ZeltMeetingServiceApi *serviceClient(const Zelt_MeetingsInfoThread &info)
{
    return info.findChild<ZeltMeetingServiceApi *>();
}

ZeltAuthApi *authClient(const Zelt_MeetingsInfoThread &info)
{
    return info.findChild<ZeltAuthApi *>();
}

QByteArray bearerOf(const VorelSim::ReceivedRequest &request)
{
    return request.request.header("Authorization");
}
} // namespace

class TestInfoPoll : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pollKeysLiveInfoByLowerCaseMeetingId();
    void laterEntryWithSameKeyWins();
    void noPollWithoutSession_data();
    void noPollWithoutSession();
    void threeFailedListingsInARowEndTheProgram();

    void refreshAheadOfExpiry_data();
    void refreshAheadOfExpiry();
    void refreshSentOnceWhilePending();
    void refreshedTokenOnLaterRequests();
    void failedRefreshes_data();
    void failedRefreshes();
    void deadTokenInAnyLetterCase();
    void newSessionStartsRefreshCountAgain();

private:
    // Polls once and waits until the listing has been answered and handled.
    bool pollAndWait();

    std::unique_ptr<InfoHarness> harness;
    std::unique_ptr<Zelt_MeetingsInfoThread> info;
};

void TestInfoPoll::init()
{
    harness = std::make_unique<InfoHarness>();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    info = std::make_unique<Zelt_MeetingsInfoThread>(nullptr, harness->config());
}

void TestInfoPoll::cleanup()
{
    info.reset();
    harness.reset();
}

bool TestInfoPoll::pollAndWait()
{
    // A poll waits for the previous one's answers, so both must be in before the next.
    AnswerCounter listings(serviceClient(*info), "serviceMeetings");
    AnswerCounter status(serviceClient(*info), "serviceStatus");
    if (!listings.isValid() || !status.isValid())
        return false;
    info->getMeetingsInfo();
    return QTest::qWaitFor([&] { return listings.count() == 1 && status.count() == 1; }, 10000);
}

void TestInfoPoll::pollKeysLiveInfoByLowerCaseMeetingId()
{
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    info->setLoginData(&harness->login);
    QSignalSpy meetings(info.get(), &Zelt_MeetingsInfoThread::meetingsInfo);
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);

    info->getMeetingsInfo();
    QTRY_COMPARE(meetings.count(), 1);
    QTRY_COMPARE(status.count(), 2); // the listing and the status request
    QCOMPARE(status.at(0).at(0).toBool(), true);
    QCOMPARE(status.at(1).at(0).toBool(), true);

    const auto map = meetings.first().first().value<QMap<QString, ZeltMeetingInfo>>();
    QVERIFY(map.contains(QStringLiteral("acme01")));
    QVERIFY(map.contains(QStringLiteral("acme02")));
    for (const QString &key : map.keys())
        QCOMPARE(key, key.toLower());
    // The value is the meeting as delivered, identifier spelling included.
    const ZeltMeetingInfo running = map.value(QStringLiteral("acme01"));
    QCOMPARE(running.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(running.clients().size(), harness->sim.meetingInfo(QStringLiteral("Acme01"))
                                           .value(QStringLiteral("clients"))
                                           .toArray()
                                           .size());
    QVERIFY(!running.clients().isEmpty());
}

void TestInfoPoll::laterEntryWithSameKeyWins()
{
    RecordingHttpServer service;
    QVERIFY(service.listen());
    service.setHandler([](const RecordingHttpServer::Request &request) {
        if (request.target.endsWith("/meetings"))
            return RecordingHttpServer::Reply::json(R"([{"meetingId":"Room1","statusMirror":0},
                                                       {"meetingId":"b2","statusMirror":0},
                                                       {"meetingId":"ROOM1","statusMirror":1}])");
        return RecordingHttpServer::Reply::json(R"({"code":200,"message":"OK","source":"svc"})");
    });
    Zelt_MeetingsInfoThread peerInfo(nullptr, harness->config({}, service.url()));
    Zelt_LoginData login;
    login.loggedIn = true;
    login.accessToken = QStringLiteral("token-1");
    login.tokenExpiry = QDateTime::currentDateTime().addSecs(3600);
    peerInfo.setLoginData(&login);
    QSignalSpy meetings(&peerInfo, &Zelt_MeetingsInfoThread::meetingsInfo);

    peerInfo.getMeetingsInfo();
    QTRY_COMPARE(meetings.count(), 1);
    QVERIFY(!service.requests().isEmpty());
    const auto map = meetings.first().first().value<QMap<QString, ZeltMeetingInfo>>();
    QCOMPARE(map.keys(), (QStringList{QStringLiteral("b2"), QStringLiteral("room1")}));
    QCOMPARE(map.value(QStringLiteral("room1")).meetingId(), QStringLiteral("ROOM1"));
    QCOMPARE(map.value(QStringLiteral("room1")).statusMirror(), 1);
}

void TestInfoPoll::noPollWithoutSession_data()
{
    QTest::addColumn<bool>("handRecord");
    QTest::newRow("no session record") << false;
    QTest::newRow("signed out, token long expired") << true;
}

void TestInfoPoll::noPollWithoutSession()
{
    QFETCH(bool, handRecord);
    Zelt_LoginData signedOut;
    signedOut.accessToken = QStringLiteral("stale");
    signedOut.refreshToken = QStringLiteral("stale");
    signedOut.tokenExpiry = QDateTime::currentDateTime().addSecs(-600);
    if (handRecord)
        info->setLoginData(&signedOut);
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);

    info->getMeetingsInfo();
    // A request sent after the poll: once it is answered, anything the poll sent has arrived.
    info->getServiceStatus();
    QTRY_COMPARE(status.count(), 1);
    const QList<VorelSim::ReceivedRequest> received = harness->sim.received();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().operation, QStringLiteral("serviceStatus"));
}

void TestInfoPoll::threeFailedListingsInARowEndTheProgram()
{
    QStringList events;
    RecordingPrompt prompt(&events);
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    info->setLoginData(&harness->login);
    connect(info.get(), &Zelt_MeetingsInfoThread::stopThread, this,
            [&] { events << QStringLiteral("stopThread"); });
    connect(info.get(), &Zelt_MeetingsInfoThread::exitApp, this,
            [&] { events << QStringLiteral("exitApp"); });
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);

    // Two failures, a success, one more failure: the success started the count again.
    harness->sim.failNext(QStringLiteral("serviceMeetings"), 2, 503);
    QVERIFY(pollAndWait());
    QVERIFY(pollAndWait());
    QVERIFY(pollAndWait());
    harness->sim.failNext(QStringLiteral("serviceMeetings"), 1, 503);
    QVERIFY(pollAndWait());
    QVERIFY(events.isEmpty());
    QTRY_COMPARE(status.count(), 8);
    int failedStatus = 0;
    for (const QList<QVariant> &arguments : status)
        failedStatus += arguments.first().toBool() ? 0 : 1;
    QCOMPARE(failedStatus, 3);

    // Two more make three in a row.
    harness->sim.failNext(QStringLiteral("serviceMeetings"), 3, 503);
    QVERIFY(pollAndWait());
    QVERIFY(events.isEmpty());
    QVERIFY(pollAndWait());
    QCOMPARE(events, (QStringList{QStringLiteral("stopThread"), QStringLiteral("box"),
                                  QStringLiteral("exitApp")}));
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown.first().kind, Prompt::Kind::Critical);
    QCOMPARE(prompt.shown.first().title, QStringLiteral("Cannot connect to service"));
    QCOMPARE(prompt.shown.first().text,
             QStringLiteral("Connecting to service failed. Please try again later."));

    // A fourth failure in a row shows no second box.
    QVERIFY(pollAndWait());
    QCOMPARE(prompt.shown.size(), 1);
}

void TestInfoPoll::refreshAheadOfExpiry_data()
{
    QTest::addColumn<int>("secondsAhead");
    QTest::addColumn<int>("refreshes");
    QTest::newRow("25 s ahead") << 25 << 0;
    QTest::newRow("20 s ahead") << 20 << 1;
    QTest::newRow("already expired") << -30 << 1;
}

void TestInfoPoll::refreshAheadOfExpiry()
{
    QFETCH(int, secondsAhead);
    QFETCH(int, refreshes);
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    const QString refreshToken = harness->login.refreshToken;
    harness->login.tokenExpiry = QDateTime::currentDateTime().addSecs(secondsAhead);
    info->setLoginData(&harness->login);
    QSignalSpy tokens(info.get(), &Zelt_MeetingsInfoThread::tokenChanged);
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);

    QVERIFY(pollAndWait());
    QTRY_COMPARE(status.count(), 2);
    QTRY_COMPARE(tokens.count(), refreshes);
    const auto sent = harness->sim.received(QStringLiteral("authRefreshPost"));
    QCOMPARE(sent.size(), refreshes);
    if (refreshes) {
        const QUrlQuery form(QString::fromUtf8(sent.first().request.body));
        QCOMPARE(form.queryItemValue(QStringLiteral("realm")), QStringLiteral("Brenn"));
        QCOMPARE(form.queryItemValue(QStringLiteral("token")), refreshToken);
    }
}

void TestInfoPoll::refreshSentOnceWhilePending()
{
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    harness->sim.setTokenLifetime(600);
    const Zelt_LoginData before = harness->login;
    harness->login.tokenExpiry = QDateTime::currentDateTime().addSecs(10);
    info->setLoginData(&harness->login);
    QSignalSpy tokens(info.get(), &Zelt_MeetingsInfoThread::tokenChanged);
    AnswerCounter refreshAnswers(authClient(*info), "authRefreshPost");
    QVERIFY(refreshAnswers.isValid());

    // Two polls before the refresh answers: one refresh.
    info->getMeetingsInfo();
    info->getMeetingsInfo();
    QTRY_COMPARE(refreshAnswers.count(), 1);
    QCOMPARE(tokens.count(), 1);

    // The answer is written into the session record, so the next poll sends none.
    const QString token = tokens.first().first().toString();
    QVERIFY(!token.isEmpty());
    QVERIFY(token != before.accessToken);
    QCOMPARE(harness->login.accessToken, token);
    QVERIFY(!harness->login.refreshToken.isEmpty());
    QVERIFY(harness->login.refreshToken != before.refreshToken);
    const qint64 ahead = QDateTime::currentDateTime().secsTo(harness->login.tokenExpiry);
    QVERIFY2(ahead > 500 && ahead <= 600, qPrintable(QString::number(ahead)));

    QVERIFY(pollAndWait());
    QCOMPARE(harness->sim.received(QStringLiteral("authRefreshPost")).size(), 1);
}

void TestInfoPoll::refreshedTokenOnLaterRequests()
{
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    const QByteArray firstBearer = "Bearer " + harness->login.accessToken.toUtf8();
    // The access token is dead already; the refresh token still works.
    QVERIFY(harness->sim.expireAccessTokens(QStringLiteral("anna")));
    harness->login.tokenExpiry = QDateTime::currentDateTime();
    info->setLoginData(&harness->login);
    QSignalSpy tokens(info.get(), &Zelt_MeetingsInfoThread::tokenChanged);
    QSignalSpy meetings(info.get(), &Zelt_MeetingsInfoThread::meetingsInfo);

    // The refused listing is sent again once, with the refreshed token.
    QVERIFY(pollAndWait());
    QTRY_COMPARE(tokens.count(), 1);
    QTRY_COMPARE(meetings.count(), 1);
    const auto listings = harness->sim.received(QStringLiteral("serviceMeetings"));
    QCOMPARE(listings.size(), 2);
    QCOMPARE(bearerOf(listings.first()), firstBearer);
    QCOMPARE(bearerOf(listings.last()), "Bearer " + tokens.first().first().toString().toUtf8());
    QCOMPARE(bearerOf(harness->sim.received(QStringLiteral("authRefreshPost")).first()),
             firstBearer);

    // Every client sends the new token from now on, and the service accepts it.
    const QByteArray newBearer = "Bearer " + tokens.first().first().toString().toUtf8();
    harness->sim.clearReceived();
    harness->login.tokenExpiry = QDateTime::currentDateTime();
    QSignalSpy bundles(info.get(), &Zelt_MeetingsInfoThread::assetBundles);
    info->getAssetBundles(); // sent before the refresh can answer
    QVERIFY(pollAndWait());
    QTRY_COMPARE(bundles.count(), 1);
    QTRY_COMPARE(tokens.count(), 2);
    QCOMPARE(meetings.count(), 2);
    for (const QString &operation :
         {QStringLiteral("serviceMeetings"), QStringLiteral("assetBundleGet"),
          QStringLiteral("authRefreshPost")}) {
        const auto sent = harness->sim.received(operation);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(bearerOf(sent.first()), newBearer);
    }
}

void TestInfoPoll::failedRefreshes_data()
{
    QTest::addColumn<QList<bool>>("refreshFails");
    QTest::addColumn<bool>("sessionEnded");
    QTest::addColumn<bool>("expired");
    QTest::newRow("one ordinary failure") << QList<bool>{true} << false << false;
    QTest::newRow("two in a row") << QList<bool>{true, true} << false << true;
    QTest::newRow("failure, success, failure") << QList<bool>{true, false, true} << false << false;
    QTest::newRow("dead session") << QList<bool>{true} << true << true;
}

void TestInfoPoll::failedRefreshes()
{
    QFETCH(QList<bool>, refreshFails);
    QFETCH(bool, sessionEnded);
    QFETCH(bool, expired);
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    info->setLoginData(&harness->login);
    QStringList events;
    connect(info.get(), &Zelt_MeetingsInfoThread::stopThread, this,
            [&] { events << QStringLiteral("stopThread"); });
    connect(info.get(), &Zelt_MeetingsInfoThread::sessionExpired, this,
            [&] { events << QStringLiteral("sessionExpired"); });
    if (sessionEnded)
        QVERIFY(harness->sim.endSessions(QStringLiteral("anna")));

    for (bool fails : std::as_const(refreshFails)) {
        if (fails && !sessionEnded)
            harness->sim.failNext(QStringLiteral("authRefreshPost"), 1, 503);
        harness->login.tokenExpiry = QDateTime::currentDateTime();
        AnswerCounter refreshAnswers(authClient(*info), "authRefreshPost");
        QVERIFY(refreshAnswers.isValid());
        info->getMeetingsInfo();
        QTRY_COMPARE(refreshAnswers.count(), 1);
    }
    QCOMPARE(harness->sim.received(QStringLiteral("authRefreshPost")).size(), refreshFails.size());
    const QStringList expected{QStringLiteral("stopThread"), QStringLiteral("sessionExpired")};
    QCOMPARE(events, expired ? expected : QStringList());
}

void TestInfoPoll::deadTokenInAnyLetterCase()
{
    RecordingHttpServer auth;
    QVERIFY(auth.listen());
    auth.setReply(RecordingHttpServer::Reply::json(
        R"({"code":400,"message":"token is NOT Active","source":"auth"})", 400));
    Zelt_MeetingsInfoThread peerInfo(nullptr, harness->config(auth.url()));
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    harness->login.tokenExpiry = QDateTime::currentDateTime();
    peerInfo.setLoginData(&harness->login);
    QSignalSpy stop(&peerInfo, &Zelt_MeetingsInfoThread::stopThread);
    QSignalSpy expired(&peerInfo, &Zelt_MeetingsInfoThread::sessionExpired);

    peerInfo.getMeetingsInfo();
    QTRY_COMPARE(expired.count(), 1);
    QCOMPARE(stop.count(), 1);
    QCOMPARE(auth.requests().size(), 1);
    QCOMPARE(auth.requests().first().requestLine(), QByteArray("POST /auth/refreshtoken HTTP/1.1"));
}

void TestInfoPoll::newSessionStartsRefreshCountAgain()
{
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    info->setLoginData(&harness->login);
    QSignalSpy expired(info.get(), &Zelt_MeetingsInfoThread::sessionExpired);
    const auto failOneRefresh = [this] {
        harness->sim.failNext(QStringLiteral("authRefreshPost"), 1, 503);
        harness->login.tokenExpiry = QDateTime::currentDateTime();
        AnswerCounter refreshAnswers(authClient(*info), "authRefreshPost");
        QVERIFY(refreshAnswers.isValid());
        info->getMeetingsInfo();
        QTRY_COMPARE(refreshAnswers.count(), 1);
    };
    failOneRefresh();

    // After a new login the first hiccup is again only a hiccup.
    QVERIFY(harness->signIn(QStringLiteral("anna")));
    info->setLoginData(&harness->login);
    failOneRefresh();
    QCOMPARE(harness->sim.received(QStringLiteral("authRefreshPost")).size(), 2);
    QCOMPARE(expired.count(), 0);
}

QTEST_MAIN(TestInfoPoll)
#include "tst_infopoll.moc"
