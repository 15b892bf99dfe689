// The meeting service of the stand-in: listing by creator, create, update, delete, who may do
// what, and starting and stopping meetings by their status.
#include "SimHttp.h"
#include "SimTestServer.h"

#include <QtTest>

namespace {
QStringList meetingIds(const QJsonArray &meetings)
{
    QStringList ids;
    for (const QJsonValue &meeting : meetings)
        ids.append(meeting.toObject().value("meetingId").toString());
    return ids;
}

QJsonObject liveInfo(SimHttp &http, const QString &meetingId)
{
    for (const QJsonValue &info : http.get("/zelt/svc/meetings").array()) {
        if (info.toObject().value("meetingId").toString().compare(meetingId, Qt::CaseInsensitive) ==
            0)
            return info.toObject();
    }
    return {};
}
} // namespace

class TestSimMeetings : public SimTestCase
{
    Q_OBJECT

private slots:
    void listByCreator_data();
    void listByCreator();
    void createStoresTheMeeting();
    void createRejects_data();
    void createRejects();
    void updateIsAllowedToOwnerAndGroupAdministrator();
    void updateRejects_data();
    void updateRejects();
    void updateKeepsWhatItIsNotSent();
    void startAndStopByStatus();
    void licenseTimeEndsAMeeting();
    void deleteRemovesAndStops();
    void withoutAuthenticationAnybodyMayList();
};

void TestSimMeetings::listByCreator_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("creator"); // a login, "*" or a literal query value after "="
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("meetings");
    QTest::newRow("own") << "anna"
                         << "anna" << 200 << QStringList{"Acme01", "Acme02"};
    QTest::newRow("all as administrator")
        << "vera"
        << "*" << 200 << QStringList{"Acme01", "Acme02", "Acme03", "Vorel01", "North01", "Sea01"};
    QTest::newRow("all as group administrator")
        << "gustav"
        << "*" << 200 << QStringList{"Acme01", "Acme02", "Acme03"};
    QTest::newRow("a group member's as group administrator")
        << "gustav"
        << "anna" << 200 << QStringList{"Acme01", "Acme02"};
    QTest::newRow("all as presenter") << "anna"
                                      << "*" << 403 << QStringList();
    QTest::newRow("somebody else's") << "anna"
                                     << "gustav" << 403 << QStringList();
    QTest::newRow("another group's as group administrator") << "gustav"
                                                            << "vera" << 403 << QStringList();
    QTest::newRow("empty creator") << "anna"
                                   << "=" << 400 << QStringList();
}

void TestSimMeetings::listByCreator()
{
    QFETCH(QString, user);
    QFETCH(QString, creator);
    QFETCH(int, status);
    QFETCH(QStringList, meetings);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    http.setBearer(sim.login(user));
    const QString filter = creator == QLatin1String("*")   ? creator
                           : creator == QLatin1String("=") ? QString()
                                                           : sim.idOf(creator);
    const SimReply reply = http.get("/meetings?creator=" + QUrl::toPercentEncoding(filter));
    QCOMPARE(reply.status, status);
    if (status == 200)
        QCOMPARE(meetingIds(reply.array()), meetings);
    else
        QCOMPARE(reply.object().value("code").toInt(), status);
    QCOMPARE(http.get("/meetings").status, 400);
}

void TestSimMeetings::createStoresTheMeeting()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QJsonObject body{
        {"title", "Design review"},
        {"creator", "anna"},
        {"creatorId", sim.idOf("anna")},
        {"password", "c2VjcmV0"},
        {"audioMode", 1},
        {"audioMode3D", 10},
        {"chatMode", 0},
        {"license", "endless"},
        {"status", "pending"},
        {"presenter", QJsonObject{{"name", "Anna Berg"}, {"email", "anna@acme.example"}}}};
    const SimReply reply = http.json("POST", "/meetings", body);
    QCOMPARE(reply.status, 201);
    const QJsonObject meeting = reply.object();
    QCOMPARE(meeting.value("id").toInt(), 7);
    QCOMPARE(meeting.value("meetingId").toString().size(), 8);
    QCOMPARE(meeting.value("created").toString(), sim.server.now().date().toString(Qt::ISODate));
    QCOMPARE(meeting.value("modified").toString(), meeting.value("created").toString());
    for (const char *member :
         {"title", "password", "audioMode", "audioMode3D", "license", "status", "presenter"})
        QCOMPARE(meeting.value(QLatin1String(member)), body.value(QLatin1String(member)));

    const QJsonArray own = http.get("/meetings?creator=" + sim.idOf("anna")).array();
    QCOMPARE(meetingIds(own).last(), meeting.value("meetingId").toString());
    // A second meeting gets another id.
    const QJsonObject second = http.json("POST", "/meetings", {{"title", "Follow-up"}}).object();
    QCOMPARE(second.value("id").toInt(), 8);
    QCOMPARE(second.value("creatorId").toString(), sim.idOf("anna"));
    QCOMPARE(second.value("license").toString(), QStringLiteral("default"));
    QCOMPARE(second.value("presenter").toObject().value("name").toString(),
             QStringLiteral("Anna Berg"));
}

void TestSimMeetings::createRejects_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::newRow("malformed JSON") << QByteArray(R"({"title": )") << 400;
    QTest::newRow("an array") << QByteArray(R"([{"title": "x"}])") << 400;
    QTest::newRow("no title") << QByteArray(R"({"description": "x"})") << 400;
    QTest::newRow("blank title") << QByteArray(R"({"title": "  "})") << 400;
    QTest::newRow("title is a number") << QByteArray(R"({"title": 5})") << 400;
    QTest::newRow("unknown license")
        << QByteArray(R"({"title": "x", "license": "forever"})") << 400;
    QTest::newRow("unknown status") << QByteArray(R"({"title": "x", "status": "running"})") << 400;
    QTest::newRow("audio mode out of range")
        << QByteArray(R"({"title": "x", "audioMode": 5})") << 400;
    QTest::newRow("3D audio neither 0 nor 10")
        << QByteArray(R"({"title": "x", "audioMode3D": 3})") << 400;
    QTest::newRow("fractional chat mode")
        << QByteArray(R"({"title": "x", "chatMode": 0.5})") << 400;
    QTest::newRow("unknown creator")
        << QByteArray(R"({"title": "x", "creatorId": "nobody"})") << 400;
    QTest::newRow("for another user")
        << QByteArray(R"({"title": "x", "creatorId": "4f3b2a10-7c6d-4e5f-9a8b-000000000003"})")
        << 403;
}

void TestSimMeetings::createRejects()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const SimReply reply =
        http.send("POST", "/meetings", body, {{"Content-Type", "application/json"}});
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.object().value("code").toInt(), status);
    QCOMPARE(sim.server.state().meetings.size(), 6);
}

void TestSimMeetings::updateIsAllowedToOwnerAndGroupAdministrator()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    SimReply reply = http.json("PATCH", "/meetings/Acme03", {{"title", "Mine now"}});
    QCOMPARE(reply.status, 403);
    QCOMPARE(reply.object().value("code").toInt(), 403);
    QCOMPARE(reply.message(), QStringLiteral("Not allowed to modify meeting"));

    http.setBearer(sim.login("gustav"));
    reply = http.json("PATCH", "/meetings/acme01", {{"title", "Reviewed by Gustav"}});
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.object().value("title").toString(), QStringLiteral("Reviewed by Gustav"));
    QCOMPARE(reply.object().value("modified").toString(),
             sim.server.now().date().toString(Qt::ISODate));

    http.setBearer(sim.login("sven"));
    QCOMPARE(http.json("PATCH", "/meetings/Acme01", {{"status", "pending"}}).status, 403);
    QVERIFY(sim.server.state().meeting("acme01")->live.has_value());
}

void TestSimMeetings::updateRejects_data()
{
    QTest::addColumn<QString>("meeting");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::newRow("unknown meeting") << "Nope99" << QByteArray(R"({"title": "x"})") << 404;
    QTest::newRow("malformed JSON") << "Acme02" << QByteArray("{") << 400;
    QTest::newRow("other meetingId") << "Acme02" << QByteArray(R"({"meetingId": "Acme01"})") << 400;
    QTest::newRow("other id") << "Acme02" << QByteArray(R"({"id": 1})") << 400;
    QTest::newRow("blank title") << "Acme02" << QByteArray(R"({"title": ""})") << 400;
    QTest::newRow("license of a running meeting")
        << "Acme01" << QByteArray(R"({"license": "endless", "status": "active"})") << 409;
    QTest::newRow("creator by a presenter")
        << "Acme02" << QByteArray(R"({"creatorId": "4f3b2a10-7c6d-4e5f-9a8b-000000000002"})")
        << 403;
}

void TestSimMeetings::updateRejects()
{
    QFETCH(QString, meeting);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const SimReply reply =
        http.send("PATCH", "/meetings/" + meeting, body, {{"Content-Type", "application/json"}});
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.object().value("code").toInt(), status);
}

void TestSimMeetings::updateKeepsWhatItIsNotSent()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QJsonObject before = sim.server.state().meeting("Acme01")->definition;
    QJsonObject after =
        http.json("PATCH", "/meetings/Acme01", {{"description", "Moved to Friday"}}).object();
    QCOMPARE(after.value("description").toString(), QStringLiteral("Moved to Friday"));
    for (const char *member :
         {"id", "meetingId", "title", "password", "creatorId", "license", "status", "presenter"})
        QCOMPARE(after.value(QLatin1String(member)), before.value(QLatin1String(member)));
    // The whole meeting sent back unchanged is accepted; an empty password removes it.
    QJsonObject whole = after;
    whole.insert("password", "");
    after = http.json("PATCH", "/meetings/Acme01", whole).object();
    QCOMPARE(after.value("password").toString(), QString());
    QCOMPARE(after.value("status").toString(), QStringLiteral("active"));
}

void TestSimMeetings::startAndStopByStatus()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    sim.server.setTokenLifetime(86400); // the clock moves on below
    http.setBearer(sim.login("anna"));
    QJsonObject info = liveInfo(http, "acme02");
    QVERIFY(!info.isEmpty()); // listed while pending, so that it can be started
    QVERIFY(!info.contains("statusMirror"));
    QVERIFY(info.value("clients").toArray().isEmpty());

    QCOMPARE(http.json("PATCH", "/meetings/Acme02", {{"status", "active"}}).status, 200);
    info = liveInfo(http, "acme02");
    QCOMPARE(info.value("statusMirror").toInt(), 0);
    QVERIFY(!info.contains("endingTime")); // endless
    sim.server.advanceClock(10);
    QCOMPARE(liveInfo(http, "acme02").value("statusMirror").toInt(), 1);
    sim.server.advanceClock(300);
    QVERIFY(!liveInfo(http, "acme02").value("clients").toArray().isEmpty());

    QCOMPARE(http.json("PATCH", "/meetings/Acme02", {{"status", "pending"}}).status, 200);
    info = liveInfo(http, "acme02");
    QVERIFY(!info.contains("statusMirror"));
    QVERIFY(info.value("clients").toArray().isEmpty());
    QVERIFY(sim.server.state().meeting("Acme02")->mirrorLog.tail(1).contains("stopped by anna"));
}

void TestSimMeetings::licenseTimeEndsAMeeting()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    sim.server.setTokenLifetime(86400);
    http.setBearer(sim.login("vera"));
    const QDateTime started = sim.server.now();
    QCOMPARE(http.json("PATCH", "/meetings/Vorel01", {{"status", "active"}}).status, 200);
    // special1 runs two hours; the end time is text the console reads in Qt's text date format.
    const QString ending = liveInfo(http, "vorel01").value("endingTime").toString();
    QCOMPARE(QDateTime::fromString(ending, Qt::TextDate).toUTC(),
             started.addSecs(7200).toUTC().addMSecs(-started.time().msec()));
    sim.server.advanceClock(7199);
    QVERIFY(liveInfo(http, "vorel01").contains("statusMirror"));
    sim.server.advanceClock(1);
    QVERIFY(!liveInfo(http, "vorel01").contains("statusMirror"));
    const QJsonArray meetings = http.get("/meetings?creator=" + sim.idOf("vera")).array();
    QCOMPARE(meetings.at(0).toObject().value("status").toString(), QStringLiteral("pending"));
}

void TestSimMeetings::deleteRemovesAndStops()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("sven"));
    QCOMPARE(http.remove("/meetings/Acme01").status, 403);
    http.setBearer(sim.login("anna"));
    QCOMPARE(http.remove("/meetings/ACME01").status, 204);
    QCOMPARE(http.remove("/meetings/Acme01").status, 404);
    QVERIFY(liveInfo(http, "acme01").isEmpty());
    QCOMPARE(meetingIds(http.get("/meetings?creator=" + sim.idOf("anna")).array()),
             QStringList{"Acme02"});
}

void TestSimMeetings::withoutAuthenticationAnybodyMayList()
{
    VorelSim::SimulatorConfig config = SimTestServer::frozenConfig();
    config.meetingServiceAuth = false;
    SimTestServer sim(config);
    QVERIFY2(sim.ready(), qPrintable(sim.error()));
    SimHttp http(sim.url());
    QCOMPARE(http.get("/meetings?creator=*").array().size(), 6);
    QCOMPARE(http.json("POST", "/meetings", {{"title", "x"}}).status, 400); // who would create it?
    QCOMPARE(
        http.json("POST", "/meetings", {{"title", "x"}, {"creatorId", sim.idOf("mia")}}).status,
        201);
    // The main service still wants its token.
    QCOMPARE(http.get("/zelt/svc/meetings").status, 401);
}

QTEST_GUILESS_MAIN(TestSimMeetings)
#include "tst_simmeetings.moc"
