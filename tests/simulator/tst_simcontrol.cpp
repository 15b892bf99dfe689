// The stand-in's controls (in-process and over HTTP), its request record, its routing with
// base paths, and the vorel-sim program.
#include "SimHttp.h"
#include "SimTestServer.h"

#include <QtTest>

class TestSimControl : public SimTestCase
{
    Q_OBJECT

private slots:
    void injectedFailures();
    void everyRequestIsRecorded();
    void unknownPathsAndMethods();
    void controlsOverHttp();
    void basePathsMoveTheServices();
    void programRunsFromTheFixture();
    void programRefusesABrokenFixture();
};

void TestSimControl::injectedFailures()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    sim.server.failNext("serviceMeetings", 2, 503);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const SimReply reply = http.get("/zelt/svc/meetings");
        QCOMPARE(reply.status, 503);
        QCOMPARE(reply.object().value("code").toInt(), 503);
        QCOMPARE(http.get("/zelt/svc/status").status, 200); // other operations are not hit
    }
    QCOMPARE(http.get("/zelt/svc/meetings").status, 200);

    sim.server.failNext("*", 1, 500);
    QCOMPARE(http.get("/zelt/svc/versions").status, 500);
    QCOMPARE(http.get("/zelt/svc/versions").status, 200);
}

void TestSimControl::everyRequestIsRecorded()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    http.json("PATCH", "/meetings/Acme02", {{"title", "Renamed"}});
    const QList<VorelSim::ReceivedRequest> all = sim.server.received();
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.at(0).operation, QStringLiteral("authLoginPost"));
    QCOMPARE(all.at(0).request.form().value("username"), QStringLiteral("anna"));
    const VorelSim::ReceivedRequest update = sim.server.received("updateMeeting").value(0);
    QCOMPARE(update.request.method, QByteArray("PATCH"));
    QCOMPARE(update.request.path, QStringLiteral("/meetings/Acme02"));
    QCOMPARE(update.request.header("content-type"), QByteArray("application/json"));
    QVERIFY(update.request.header("Authorization").startsWith("Bearer "));
    QCOMPARE(QJsonDocument::fromJson(update.request.body).object().value("title").toString(),
             QStringLiteral("Renamed"));
    QCOMPARE(update.status, 200);
    sim.server.clearReceived();
    QVERIFY(sim.server.received().isEmpty());
}

void TestSimControl::unknownPathsAndMethods()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    SimReply reply = http.get("/zelt/svc/nothing/here/at/all");
    QCOMPARE(reply.status, 404);
    QCOMPARE(reply.object().value("code").toInt(), 404);
    reply = http.send("PUT", "/zelt/svc/status", {}, {});
    QCOMPARE(reply.status, 405);
    QCOMPARE(reply.object().value("code").toInt(), 405);
    QCOMPARE(sim.server.received().size(), 2);
    QCOMPARE(sim.server.received().at(0).operation, QString());
}

void TestSimControl::controlsOverHttp()
{
    SimTestServer &sim = server();
    SimHttp control(sim.url());
    SimHttp http(sim.url());
    http.setBearer(sim.login("anna"));
    sim.server.clearReceived();

    QCOMPARE(control
                 .json("POST", "/_sim/fail",
                       {{"operation", "banlistGet"}, {"count", 1}, {"status", 502}})
                 .status,
             204);
    QCOMPARE(http.get("/zelt/svc/banlist").status, 502);
    QCOMPARE(
        control.json("POST", "/_sim/fail", {{"operation", "banlistGet"}, {"status", 200}}).status,
        400);

    QCOMPARE(control.json("PUT", "/_sim/service-version", {{"version", "2.2.1"}}).status, 204);
    QCOMPARE(http.get("/zelt/svc/status").message(), QStringLiteral("OK - Version v2.2.1"));
    QCOMPARE(
        control.json("PUT", "/_sim/versions/Console", {{"Version", QJsonArray{4, 0, 0}}}).status,
        204);
    QCOMPARE(http.get("/zelt/svc/versions")
                 .object()
                 .value("Console")
                 .toObject()
                 .value("Version")
                 .toArray(),
             QJsonArray({4, 0, 0}));

    SimReply reply =
        control.json("POST", "/_sim/meetings/Acme01/participants", {{"Alias", "Remote Rita"}});
    QCOMPARE(reply.status, 201);
    const int rita = reply.object().value("Id").toInt();
    QCOMPARE(http.get("/zelt/svc/meeting/Acme01/info").object().value("clients").toArray().size(),
             4);
    QCOMPARE(
        control.remove(QStringLiteral("/_sim/meetings/Acme01/participants/%1").arg(rita)).status,
        204);
    QCOMPARE(
        control.remove(QStringLiteral("/_sim/meetings/Acme01/participants/%1").arg(rita)).status,
        404);
    QCOMPARE(control.json("POST", "/_sim/meetings/Acme02/participants", {{"Alias", "x"}}).status,
             409);

    const QDateTime before = sim.server.now();
    reply = control.json("POST", "/_sim/clock", {{"advance", 90}});
    QCOMPARE(QDateTime::fromString(reply.object().value("now").toString(), Qt::ISODateWithMs),
             before.addSecs(90));

    QCOMPARE(control.json("POST", "/_sim/tokens/expire", {{"user", "anna"}}).status, 204);
    QCOMPARE(http.get("/zelt/svc/banlist").status, 401);
    QCOMPARE(control.json("POST", "/_sim/tokens/expire", {{"user", "nobody"}, {"sessions", true}})
                 .status,
             404);

    // The record holds the services' requests only, not the control requests.
    const QJsonArray received = control.get("/_sim/received").array();
    QCOMPARE(received.size(), 5);
    const QJsonArray infos = control.get("/_sim/received?operation=meetingInfo").array();
    QCOMPARE(infos.size(), 1);
    QCOMPARE(infos.at(0).toObject().value("path").toString(),
             QStringLiteral("/zelt/svc/meeting/Acme01/info"));
    QCOMPARE(infos.at(0).toObject().value("method").toString(), QStringLiteral("GET"));
    QCOMPARE(control.remove("/_sim/received").status, 204);
    QVERIFY(control.get("/_sim/received").array().isEmpty());
}

void TestSimControl::basePathsMoveTheServices()
{
    VorelSim::SimulatorConfig config = SimTestServer::frozenConfig();
    config.authBase = "/identity";
    config.meetingBase = "/api/v1";
    config.serviceBase = "/platform";
    config.awsBase = "/aws";
    SimTestServer sim(config);
    QVERIFY2(sim.ready(), qPrintable(sim.error()));
    QCOMPARE(sim.server.authServiceUrl().toString(), sim.url() + "/identity");
    QCOMPARE(sim.server.mainServiceUrl().path(), QStringLiteral("/platform"));
    SimHttp http(sim.url());
    const SimHttp::Pairs login = {
        {"client", "Brenn"}, {"username", "vera"}, {"password", "vera-demo"}};
    QCOMPARE(http.form("POST", "/auth/login", login).status, 404);
    http.setBearer(
        http.form("POST", "/identity/auth/login", login).object().value("access_token").toString());
    QCOMPARE(http.get("/api/v1/meetings?creator=*").array().size(), 6);
    QCOMPARE(http.get("/meetings?creator=*").status, 404);
    QCOMPARE(http.get("/platform/zelt/svc/meetings").array().size(), 6);
    // Installers stay below the server's root.
    const QString updateUrl = http.get("/platform/zelt/svc/versions")
                                  .object()
                                  .value("Console")
                                  .toObject()
                                  .value("UpdateUrl")
                                  .toString();
    QCOMPARE(updateUrl, sim.url() + "/downloads/VorelConsoleSetup-3.1.2.exe");
    QCOMPARE(http.send("POST", "/aws/", "Action=AssumeRole",
                       {{"Content-Type", "application/x-www-form-urlencoded"}})
                 .status,
             403); // found, but unsigned
}

void TestSimControl::programRunsFromTheFixture()
{
    QProcess program;
    program.start(VOREL_SIM_PROGRAM,
                  {"--port", "0", "--fixture", SimTestServer::fixturePath(), "--s3-endpoint",
                   "http://127.0.0.1:4998", "--s3-bucket", "demo", "--s3-key", "K", "--s3-secret",
                   "S", "--token-lifetime", "42"});
    QVERIFY(program.waitForStarted());
    QString output;
    QTRY_VERIFY_WITH_TIMEOUT((output += program.readAllStandardOutput()).contains("Demo accounts"),
                             20000);
    QTRY_VERIFY_WITH_TIMEOUT(
        (output += program.readAllStandardOutput()).contains("paul / paul-demo"), 20000);
    const QRegularExpressionMatch address =
        QRegularExpression("Listening on (http://127.0.0.1:\\d+)").match(output);
    QVERIFY2(address.hasMatch(), qPrintable(output));
    SimHttp http(address.captured(1));
    const QJsonObject auth =
        http.form("POST", "/auth/login",
                  {{"client", "Brenn"}, {"username", "anna"}, {"password", "anna-demo"}})
            .object();
    QCOMPARE(auth.value("expires_in").toInt(), 42);
    http.setBearer(auth.value("access_token").toString());
    const QJsonObject key = http.get("/zelt/svc/s3/token").object();
    QCOMPARE(key.value("Endpoint").toString(), QStringLiteral("http://127.0.0.1:4998"));
    QCOMPARE(key.value("Bucket").toString(), QStringLiteral("demo"));
    QCOMPARE(key.value("AccessKeyId").toString(), QStringLiteral("K"));
    program.terminate();
    QVERIFY(program.waitForFinished(20000));
}

void TestSimControl::programRefusesABrokenFixture()
{
    QTemporaryFile fixture;
    QVERIFY(fixture.open());
    fixture.write(R"({"users": [{"userId": "x"}]})");
    fixture.close();
    QProcess program;
    program.start(VOREL_SIM_PROGRAM, {"--fixture", fixture.fileName()});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 1);
    QVERIFY(program.readAllStandardError().contains("Every user needs id, userId and password"));

    program.start(VOREL_SIM_PROGRAM, {"--port", "seventy"});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestSimControl)
#include "tst_simcontrol.moc"
