// The main service's meeting endpoints of the stand-in: meeting info and its update, assets,
// commands into running meetings, simulated participants and the mirror log.
#include "SimHttp.h"
#include "SimTestServer.h"

#include <QtTest>

namespace {
const QString acmeInfo = QStringLiteral("/zelt/svc/meeting/acme01/info");

QJsonObject byId(const QJsonArray &list, int id)
{
    for (const QJsonValue &value : list) {
        if (value.toObject().value("Id").toInt() == id)
            return value.toObject();
    }
    return {};
}

int clientIdOf(const QJsonObject &info, const QString &alias)
{
    for (const QJsonValue &client : info.value("clients").toArray()) {
        if (client.toObject().value("Alias").toString() == alias)
            return client.toObject().value("Id").toInt();
    }
    return -1;
}

QJsonObject command(const QString &word, const QStringList &params)
{
    return {{"command", word}, {"params", QJsonArray::fromStringList(params)}};
}

QJsonObject vector(double x, double y, double z)
{
    return {{"x", x}, {"y", y}, {"z", z}};
}
} // namespace

class TestSimRoom : public SimTestCase
{
    Q_OBJECT

private slots:
    void infoOfARunningMeeting();
    void infoOfOtherMeetings();
    void infoUpdateReplacesComponentsAndChangesClients();
    void infoUpdateRejects_data();
    void infoUpdateRejects();
    void assetsAreAddedReplacedAndDeleted();
    void bannedAssetsAreRefused_data();
    void bannedAssetsAreRefused();
    void kickAndMessage();
    void playerPosition();
    void commandFailures_data();
    void commandFailures();
    void simulatedParticipantsJoinAndTalk();
    void guestsOfAMeetingWithoutVoiceStaySilent();
    void controlledParticipants();
    void mirrorLogHonoursTheLineCount();
};

void TestSimRoom::infoOfARunningMeeting()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const SimReply reply = http.get(acmeInfo);
    QCOMPARE(reply.status, 200);
    const QJsonObject info = reply.object();
    QCOMPARE(info.value("meetingId").toString(), QStringLiteral("Acme01"));
    QCOMPARE(info.value("statusMirror").toInt(), 1);
    QCOMPARE(info.value("voiceMode").toInt(), 1);
    QCOMPARE(info.value("voiceMode3D").toInt(), 10);
    QCOMPARE(info.value("licenseCountAttendees").toInt(), 25);
    // Twelve minutes into a one-hour license.
    const QDateTime ending =
        QDateTime::fromString(info.value("endingTime").toString(), Qt::TextDate);
    const QDateTime now = sim.server.now();
    QCOMPARE(now.addMSecs(-now.time().msec()).secsTo(ending),
             48 * 60); // the text has no milliseconds
    QCOMPARE(info.value("assets").toArray().size(), 3);
    QCOMPARE(info.value("assetBundles").toArray().at(0).toObject().value("Name").toString(),
             QStringLiteral("Acme showroom"));
    QCOMPARE(info.value("spawnPoints").toArray().size(), 2);

    const QJsonArray clients = info.value("clients").toArray();
    QCOMPARE(clients.size(), 3);
    const QJsonObject host = clients.at(0).toObject();
    QCOMPARE(host.value("Alias").toString(), QStringLiteral("Anna (host)"));
    QCOMPARE(host.value("currentRole").toString(), QStringLiteral("Presenter"));
    QCOMPARE(host.value("MeetingId").toString(), QStringLiteral("Acme01"));
    QVERIFY(host.value("voiceIsTalking").toBool());
    QVERIFY(host.value("IP").isDouble());
    QVERIFY(!host.value("HostName").toString().isEmpty());
    QCOMPARE(host.value("Credentials").toObject().value("User").toString(), QStringLiteral("anna"));
    const QJsonObject lisa = clients.at(2).toObject();
    QVERIFY(!lisa.value("voiceEnabled").toBool());
    QVERIFY(!lisa.value("voiceIsTalking").toBool());
}

void TestSimRoom::infoOfOtherMeetings()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QJsonObject pending = http.get("/zelt/svc/meeting/Acme02/info").object();
    QCOMPARE(pending.value("meetingId").toString(), QStringLiteral("Acme02"));
    QVERIFY(!pending.contains("statusMirror"));
    QVERIFY(!pending.contains("endingTime"));
    QVERIFY(pending.value("clients").toArray().isEmpty());
    QCOMPARE(http.get("/zelt/svc/meeting/Nope/info").status, 404);
    QCOMPARE(http.get("/zelt/svc/meeting/Sea01/info").status, 403);
    QCOMPARE(http.get("/zelt/svc/meeting//info").status, 404);
    // A meeting id holding a slash travels percent-encoded and is still one segment.
    QCOMPARE(http.get("/zelt/svc/meeting/a%2Fb/info").message(),
             QStringLiteral("Meeting not found: a/b"));
}

void TestSimRoom::infoUpdateReplacesComponentsAndChangesClients()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    QJsonObject info = http.get(acmeInfo).object();
    const int tom = clientIdOf(info, "Tom");
    const int lisa = clientIdOf(info, "Lisa");
    const QJsonObject link = byId(info.value("assets").toArray(), 22001);
    const QJsonObject model{
        {"Id", 0}, {"Name", "chair.fbx"}, {"Mode", 1}, {"StgRelPath", "acme/chair.fbx"}};
    info.insert("assets", QJsonArray{link, model});
    info.insert("assetBundles",
                QJsonArray{QJsonObject{{"Id", "AB-1"}, {"Name", "Lobby furniture"}}});
    info.insert("spawnPoints", QJsonArray{QJsonObject{{"Id", 0},
                                                      {"Name", "Door"},
                                                      {"Position", vector(1, 0, -4)},
                                                      {"Rotation", vector(0, 90, 0)}}});
    info.insert("clients", QJsonArray{QJsonObject{{"Id", tom}, {"voiceEnabled", false}},
                                      QJsonObject{{"Id", lisa}, {"currentRole", "Presenter"}},
                                      QJsonObject{{"Id", 999}, {"voiceEnabled", false}}});
    QCOMPARE(http.json("PUT", acmeInfo, info).status, 204);

    info = http.get(acmeInfo).object();
    const QJsonArray assets = info.value("assets").toArray();
    QCOMPARE(assets.size(), 2);
    QCOMPARE(byId(assets, 22001), link);
    QCOMPARE(byId(assets, 1).value("Name").toString(), QStringLiteral("chair.fbx"));
    QCOMPARE(info.value("assetBundles").toArray().at(0).toObject().value("Id").toString(),
             QStringLiteral("AB-1"));
    QCOMPARE(info.value("spawnPoints").toArray().at(0).toObject().value("MeetingId").toString(),
             QStringLiteral("Acme01"));
    const QJsonArray clients = info.value("clients").toArray();
    QVERIFY(!byId(clients, tom).value("voiceEnabled").toBool());
    QVERIFY(!byId(clients, tom).value("voiceIsTalking").toBool());
    QCOMPARE(byId(clients, lisa).value("currentRole").toString(), QStringLiteral("Presenter"));
    QVERIFY(sim.server.state().meeting("Acme01")->mirrorLog.tail(2).contains("muted"));

    // Lists the body leaves out are emptied: that is how the last bundle or spawn point goes.
    QCOMPARE(http.json("PUT", acmeInfo, {{"meetingId", "acme01"}}).status, 204);
    info = http.get(acmeInfo).object();
    QVERIFY(info.value("assets").toArray().isEmpty());
    QVERIFY(info.value("assetBundles").toArray().isEmpty());
    QVERIFY(info.value("spawnPoints").toArray().isEmpty());
    QCOMPARE(info.value("clients").toArray().size(), 3);
}

void TestSimRoom::infoUpdateRejects_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::newRow("malformed") << QByteArray("{\"assets\": [") << 400;
    QTest::newRow("other meeting") << QByteArray(R"({"meetingId": "Acme02"})") << 400;
    QTest::newRow("unknown bundle") << QByteArray(R"({"assetBundles": [{"Id": "AB-99"}]})") << 400;
    QTest::newRow("two bundles") << QByteArray(
                                        R"({"assetBundles": [{"Id": "AB-1"}, {"Id": "AB-2"}]})")
                                 << 400;
    QTest::newRow("asset mode") << QByteArray(
                                       R"({"assets": [{"Id": 5, "Mode": 7, "StgRelPath": "a"}]})")
                                << 400;
    QTest::newRow("asset path") << QByteArray(R"({"assets": [{"Id": 5, "Mode": 1}]})") << 400;
    QTest::newRow("assets not a list") << QByteArray(R"({"assets": {"Id": 5}})") << 400;
    QTest::newRow("client role") << QByteArray(R"({"clients": [{"Id": 1, "currentRole": "Boss"}]})")
                                 << 400;
    QTest::newRow("client voice as number")
        << QByteArray(R"({"clients": [{"Id": 1, "voiceEnabled": 1}]})") << 400;
    QTest::newRow("position as text")
        << QByteArray(R"({"spawnPoints": [{"Name": "a", "Position": {"x": "1"}}]})") << 400;
    QTest::newRow("banned link")
        << QByteArray(
               R"({"assets": [{"Id": 22009, "Mode": 3, "StgRelPath": "https://cdn.badvideo.example/a"}]})")
        << 403;
}

void TestSimRoom::infoUpdateRejects()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QJsonObject before = http.get(acmeInfo).object();
    const SimReply reply = http.send("PUT", acmeInfo, body, {{"Content-Type", "application/json"}});
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.object().value("code").toInt(), status);
    QCOMPARE(http.get(acmeInfo).object(), before); // nothing changed
}

void TestSimRoom::assetsAreAddedReplacedAndDeleted()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QString assets = QStringLiteral("/zelt/svc/meeting/Acme01/asset");
    SimReply reply =
        http.json("POST", assets,
                  {{"Id", 0}, {"Name", "desk.fbx"}, {"Mode", 1}, {"StgRelPath", "acme/desk.fbx"}});
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.object().value("Id").toInt(), 2); // 1 is taken
    QCOMPARE(reply.object().value("MeetingId").toString(), QStringLiteral("Acme01"));

    const QJsonObject placeholder{{"Id", 22005},
                                  {"Name", "plan.pdf"},
                                  {"Mode", 3},
                                  {"StgRelPath", "https://example.com/plan.pdf"}};
    reply = http.json("POST", assets, placeholder);
    QCOMPARE(reply.object().value("Id").toInt(), 22005);
    QCOMPARE(reply.object().value("StgPreSgnPath").toString(),
             QStringLiteral("https://example.com/plan.pdf"));
    QJsonObject moved = placeholder;
    moved.insert("StgRelPath", "https://example.com/plan-v2.pdf");
    QCOMPARE(http.json("POST", assets, moved).status, 200);
    const QJsonArray stored = http.get(acmeInfo).object().value("assets").toArray();
    QCOMPARE(stored.size(), 5);
    QCOMPARE(byId(stored, 22005).value("StgRelPath").toString(),
             QStringLiteral("https://example.com/plan-v2.pdf"));

    QCOMPARE(http.json("POST", assets, {{"Mode", 9}, {"StgRelPath", "x"}}).status, 400);
    QCOMPARE(http.json("POST", assets, {{"Mode", 1}}).status, 400);
    QCOMPARE(http.json("POST", assets, {{"Mode", 1}, {"StgRelPath", "x"}, {"Id", -4}}).status, 400);
    QCOMPARE(http.json("POST", assets, {{"Mode", 1}, {"StgRelPath", "x"}, {"MeetingId", "Acme02"}})
                 .status,
             400);
    QCOMPARE(http.json("POST", "/zelt/svc/meeting/Nope/asset", placeholder).status, 404);

    QCOMPARE(http.remove(assets + "/22005").status, 204);
    QCOMPARE(http.remove(assets + "/22005").status, 404);
    QCOMPARE(http.remove(assets + "/first").status, 400);
    QCOMPARE(http.get(acmeInfo).object().value("assets").toArray().size(), 4);
}

void TestSimRoom::bannedAssetsAreRefused_data()
{
    QTest::addColumn<QJsonObject>("asset");
    QTest::addColumn<int>("status");
    QTest::newRow("link matching a pattern")
        << QJsonObject{{"Id", 22007},
                       {"Mode", 3},
                       {"StgRelPath", "https://Media.BadVideo.example/clip?id=3"}}
        << 403;
    QTest::newRow("link beside the pattern")
        << QJsonObject{{"Id", 22007},
                       {"Mode", 3},
                       {"StgRelPath", "https://badvideo.example.org/clip"}}
        << 200;
    QTest::newRow("file by checksum")
        << QJsonObject{{"Mode", 1},
                       {"StgRelPath", "a/b.mp4"},
                       {"StgChecksum", "\"9b2cf535f27731c974343645a3985328\""}}
        << 403;
    QTest::newRow("file by name") << QJsonObject{{"Mode", 1},
                                                 {"Name", "leaked-keynote.mp4"},
                                                 {"StgRelPath", "x/leaked-keynote.mp4"}}
                                  << 403;
    QTest::newRow("same name, other checksum") << QJsonObject{{"Mode", 1},
                                                              {"Name", "leaked-keynote.mp4"},
                                                              {"StgRelPath", "x/l.mp4"},
                                                              {"StgChecksum", "00ff"}}
                                               << 200;
}

void TestSimRoom::bannedAssetsAreRefused()
{
    QFETCH(QJsonObject, asset);
    QFETCH(int, status);
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const SimReply reply = http.json("POST", "/zelt/svc/meeting/Acme01/asset", asset);
    QCOMPARE(reply.status, status);
    if (status == 403)
        QVERIFY(reply.message().contains("banlist"));
}

void TestSimRoom::kickAndMessage()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const int tom = clientIdOf(http.get(acmeInfo).object(), "Tom");
    const QString commands = QStringLiteral("/zelt/svc/meeting/acme01/command");
    SimReply reply = http.json("POST", commands, command("KickPlayer", {QString::number(tom)}));
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.object().value("command").toString(), QStringLiteral("KickPlayer"));
    QCOMPARE(reply.object().value("meetingId").toString(), QStringLiteral("Acme01"));
    QCOMPARE(reply.object().value("sList").toArray().size(), 1);
    QCOMPARE(clientIdOf(http.get(acmeInfo).object(), "Tom"), -1);

    reply = http.json("POST", commands, command("SendMessage", {"Break until 11:00"}));
    QCOMPARE(reply.status, 200);
    const QString log = http.get("/zelt/svc/acme01/logfile?count=3").body;
    QVERIFY(log.contains("kicked by anna"));
    QVERIFY(log.contains("Message from anna: Break until 11:00"));
}

void TestSimRoom::playerPosition()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const int host = clientIdOf(http.get(acmeInfo).object(), "Anna (host)");
    const SimReply reply = http.json("POST", "/zelt/svc/meeting/Acme01/command",
                                     command("getplayerpos", {QString::number(host)}));
    QCOMPARE(reply.status, 200);
    const QJsonObject answer = reply.object();
    QCOMPARE(answer.value("command").toString(), QStringLiteral("GetPlayerPos"));
    QCOMPARE(answer.value("sList").toArray(), QJsonArray{"Anna (host)"});
    const QJsonArray vectors = answer.value("vList").toArray();
    QCOMPARE(vectors.size(), 2);
    QCOMPARE(vectors.at(0).toObject(), vector(5, 0, 2.5));
    QCOMPARE(vectors.at(1).toObject(), vector(0, 180, 0));
}

void TestSimRoom::commandFailures_data()
{
    QTest::addColumn<QString>("meeting");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::newRow("unknown command")
        << "Acme01" << QByteArray(R"({"command": "Explode", "params": ["1"]})") << 400;
    QTest::newRow("no command") << "Acme01" << QByteArray(R"({"params": ["1"]})") << 400;
    QTest::newRow("no parameter") << "Acme01" << QByteArray(R"({"command": "KickPlayer"})") << 400;
    QTest::newRow("client id not a number")
        << "Acme01" << QByteArray(R"({"command": "KickPlayer", "params": ["Tom"]})") << 400;
    QTest::newRow("unknown client")
        << "Acme01" << QByteArray(R"({"command": "GetPlayerPos", "params": ["77"]})") << 404;
    QTest::newRow("empty message")
        << "Acme01" << QByteArray(R"({"command": "SendMessage", "params": [""]})") << 400;
    QTest::newRow("parameters not text")
        << "Acme01" << QByteArray(R"({"command": "KickPlayer", "params": [1]})") << 400;
    QTest::newRow("other meeting in body")
        << "Acme01"
        << QByteArray(R"({"meetingId": "Acme03", "command": "SendMessage", "params": ["x"]})")
        << 400;
    QTest::newRow("meeting not running")
        << "Acme02" << QByteArray(R"({"command": "SendMessage", "params": ["x"]})") << 409;
    QTest::newRow("unknown meeting")
        << "Nope" << QByteArray(R"({"command": "SendMessage", "params": ["x"]})") << 404;
}

void TestSimRoom::commandFailures()
{
    QFETCH(QString, meeting);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const SimReply reply = http.send("POST", "/zelt/svc/meeting/" + meeting + "/command", body,
                                     {{"Content-Type", "application/json"}});
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.object().value("code").toInt(), status);
    QCOMPARE(http.get(acmeInfo).object().value("clients").toArray().size(), 3);
}

void TestSimRoom::simulatedParticipantsJoinAndTalk()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    sim.server.setTokenLifetime(86400);
    http.setBearer(sim.login("anna"));
    QCOMPARE(http.json("PATCH", "/meetings/Acme02", {{"status", "active"}}).status, 200);
    // Nobody joins, and no command is taken, before the mirror server runs.
    QCOMPARE(http.json("POST", "/zelt/svc/meeting/Acme02/command", command("SendMessage", {"Hi"}))
                 .status,
             409);
    sim.server.advanceClock(5);
    QVERIFY(
        http.get("/zelt/svc/meeting/Acme02/info").object().value("clients").toArray().isEmpty());

    QSet<int> talked;
    QSet<int> fellSilent;
    QMap<int, bool> talking;
    int most = 0;
    for (int poll = 0; poll < 60; ++poll) {
        sim.server.advanceClock(10);
        const QJsonArray clients =
            http.get("/zelt/svc/meeting/Acme02/info").object().value("clients").toArray();
        most = qMax(most, int(clients.size()));
        for (const QJsonValue &value : clients) {
            const QJsonObject client = value.toObject();
            const int id = client.value("Id").toInt();
            const bool now = client.value("voiceIsTalking").toBool();
            if (now)
                talked.insert(id);
            if (talking.value(id) && !now)
                fellSilent.insert(id);
            talking.insert(id, now);
        }
    }
    QCOMPARE(most, 4); // the meeting's simulated guests, all of them, never more
    QVERIFY(!talked.isEmpty());
    QVERIFY(!fellSilent.isEmpty());
}

void TestSimRoom::guestsOfAMeetingWithoutVoiceStaySilent()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    sim.server.setTokenLifetime(86400);
    http.setBearer(sim.login("mia"));
    QCOMPARE(http.json("PATCH", "/meetings/North01", {{"status", "active"}}).status, 200);
    sim.server.advanceClock(600);
    const QJsonArray clients =
        http.get("/zelt/svc/meeting/North01/info").object().value("clients").toArray();
    QVERIFY(!clients.isEmpty());
    for (const QJsonValue &client : clients) {
        QVERIFY(!client.toObject().value("voiceEnabled").toBool());
        QVERIFY(!client.toObject().value("voiceIsTalking").toBool());
    }
}

void TestSimRoom::controlledParticipants()
{
    SimTestServer &sim = server();
    QCOMPARE(sim.server.addParticipant("Acme02", "Zoe"), -1);
    const int zoe = sim.server.addParticipant("acme01", "Zoe");
    QVERIFY(zoe > 0);
    QCOMPARE(clientIdOf(sim.server.meetingInfo("Acme01"), "Zoe"), zoe);
    QVERIFY(sim.server.removeParticipant("Acme01", zoe));
    QVERIFY(!sim.server.removeParticipant("Acme01", zoe));
    QCOMPARE(clientIdOf(sim.server.meetingInfo("Acme01"), "Zoe"), -1);
}

void TestSimRoom::mirrorLogHonoursTheLineCount()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    SimReply reply = http.get("/zelt/svc/Acme01/logfile?count=1");
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.header("Content-Type").startsWith("text/plain"));
    QCOMPARE(QString::fromUtf8(reply.body).count('\n'), 1);
    const QString all = http.get("/zelt/svc/Acme01/logfile?count=999").body;
    QVERIFY(all.startsWith(
        "2024-06-11 09:00:02.114 INFO  Mirror server starting for meeting Acme01\n"));
    QVERIFY(all.endsWith(QString::fromUtf8(reply.body)));
    QCOMPARE(http.get("/zelt/svc/Acme01/logfile?count=0").body, QByteArray());
    QCOMPARE(http.get("/zelt/svc/Acme01/logfile?count=many").status, 400);
    QCOMPARE(http.get("/zelt/svc/Acme01/logfile").status, 400);
    QCOMPARE(http.get("/zelt/svc/Nope/logfile?count=5").status, 404);
}

QTEST_GUILESS_MAIN(TestSimRoom)
#include "tst_simroom.moc"
