// The main service's service-wide endpoints of the stand-in: status, versions and installer
// downloads, temporary storage credentials, the service log, the banlist and asset bundles.
#include "SimHttp.h"
#include "SimTestServer.h"

#include <QtTest>

namespace {
QStringList bundleIds(const QJsonArray &bundles)
{
    QStringList ids;
    for (const QJsonValue &bundle : bundles)
        ids.append(bundle.toObject().value("Id").toString());
    return ids;
}

QJsonObject bundle(const QString &name, int mode = 1)
{
    return {{"Name", name}, {"Mode", mode}, {"StgRelPath", "acme/__ASSETBUNDLES/" + name}};
}
} // namespace

class TestSimPlatform : public SimTestCase
{
    Q_OBJECT

private slots:
    void statusNamesTheServiceVersion();
    void versionsPointAtDownloadableInstallers();
    void storageCredentials_data();
    void storageCredentials();
    void serviceLogIsForAdministrators();
    void banlist();
    void bundlesVisibleToEachUser_data();
    void bundlesVisibleToEachUser();
    void bundlesAreCreatedAndModified();
    void deletingABundleRemovesItsReferences();
    void reload();
};

void TestSimPlatform::statusNamesTheServiceVersion()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    SimReply reply = http.get("/zelt/svc/status");
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.object().value("code").toInt(), 200);
    QCOMPARE(reply.message(), QStringLiteral("OK - Version v2.1.0"));
    QVERIFY(!reply.object().value("source").toString().isEmpty());
    sim.server.setServiceVersion("2.0.29");
    QCOMPARE(http.get("/zelt/svc/status").message(), QStringLiteral("OK - Version v2.0.29"));
}

void TestSimPlatform::versionsPointAtDownloadableInstallers()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    QJsonObject versions = http.get("/zelt/svc/versions").object();
    for (const char *kind : {"Console", "WindowsDesktop", "WindowsVR", "Android", "iOS"})
        QVERIFY2(versions.contains(QLatin1String(kind)), kind);
    QJsonObject console = versions.value("Console").toObject();
    QCOMPARE(console.value("Version").toArray(), QJsonArray({3, 1, 2}));
    QCOMPARE(console.value("UpdateUrl").toString(),
             sim.url() + "/downloads/VorelConsoleSetup-3.1.2.exe");
    QCOMPARE(versions.value("Android").toObject().value("UpdateUrl").toString(),
             QStringLiteral("https://play.example.com/store/apps/details?id=com.vorel.meet"));
    SimReply download = http.get("/downloads/VorelConsoleSetup-3.1.2.exe");
    QCOMPARE(download.status, 200);
    QVERIFY(download.body.startsWith("#!/bin/sh\n"));
    QVERIFY(download.body.contains("Vorel Console 3.1.2"));

    sim.server.setPublishedVersion("Console", {3, 2, 0}, "/downloads/VorelConsoleSetup-3.2.0.exe");
    console = http.get("/zelt/svc/versions").object().value("Console").toObject();
    QCOMPARE(console.value("Version").toArray(), QJsonArray({3, 2, 0}));
    QCOMPARE(http.get("/downloads/VorelConsoleSetup-3.2.0.exe").status, 200);
    QCOMPARE(http.get("/downloads/VorelConsoleSetup-3.1.2.exe").status, 404);
}

void TestSimPlatform::storageCredentials_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("arn");
    QTest::addColumn<QString>("folder");
    QTest::newRow("MinIO") << "anna" << 200 << "MINIO"
                           << "acme";
    QTest::newRow("Amazon S3") << "sven" << 200 << "S3"
                               << "seaside";
    QTest::newRow("storage in the second group") << "vera" << 200 << "MINIO"
                                                 << "vorel";
    QTest::newRow("MinIO with static credentials") << "mia" << 200 << "MINIO"
                                                   << "northwind";
    QTest::newRow("Nextcloud") << "nico" << 403 << ""
                               << "";
    QTest::newRow("no storage") << "otto" << 403 << ""
                                << "";
}

void TestSimPlatform::storageCredentials()
{
    QFETCH(QString, user);
    QFETCH(int, status);
    QFETCH(QString, arn);
    QFETCH(QString, folder);
    VorelSim::SimulatorConfig config = SimTestServer::frozenConfig();
    config.s3Endpoint = "http://127.0.0.1:4999";
    config.s3Bucket = "meetings";
    config.s3Key = "KEY1";
    config.s3Secret = "SECRET1";
    SimTestServer sim(config);
    QVERIFY2(sim.ready(), qPrintable(sim.error()));
    SimHttp http(sim.url());
    http.setBearer(sim.login(user));
    const SimReply reply = http.get("/zelt/svc/s3/token");
    QCOMPARE(reply.status, status);
    if (status != 200)
        return;
    const QJsonObject key = reply.object();
    QCOMPARE(key.value("Arn").toString(), arn);
    QCOMPARE(key.value("AssumedRoleId").toString(), folder);
    QCOMPARE(key.value("Endpoint").toString(), arn == "S3" ? config.s3Region : config.s3Endpoint);
    QCOMPARE(key.value("Bucket").toString(), config.s3Bucket);
    QCOMPARE(key.value("AccessKeyId").toString(), config.s3Key);
    QCOMPARE(key.value("SecretAccessKey").toString(), config.s3Secret);
    QVERIFY(!key.value("SessionToken").toString().isEmpty());
    const QDateTime expiration =
        QDateTime::fromString(key.value("Expiration").toString(), Qt::TextDate);
    QVERIFY(expiration.isValid());
    const QDateTime now = sim.server.now();
    QCOMPARE(now.addMSecs(-now.time().msec()).secsTo(expiration), config.storageTokenLifetime);
}

void TestSimPlatform::serviceLogIsForAdministrators()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    QCOMPARE(http.get("/zelt/svc/logfile?count=5").status, 403);
    http.setBearer(sim.login("vera"));
    const QString last = http.get("/zelt/svc/logfile?count=1").body;
    QCOMPARE(last.count('\n'), 1);
    QVERIFY(last.contains("User vera logged in"));
    const QString all = http.get("/zelt/svc/logfile?count=999").body;
    QVERIFY(all.startsWith("2024-06-11 08:59:40.002 INFO  Service starting, version 2.1.0\n"));
    QCOMPARE(http.get("/zelt/svc/logfile?count=0").body, QByteArray());
    QCOMPARE(http.get("/zelt/svc/logfile?count=-1").status, 400);
}

void TestSimPlatform::banlist()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    QCOMPARE(http.get("/zelt/svc/banlist").array().size(), 2);
    const QJsonObject entry{{"Mode", 3}, {"Filename", "Casino"}, {"Checksum", "*casino*"}};
    SimReply reply = http.json("POST", "/zelt/svc/banlist", entry);
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.body, QByteArray("3"));
    QCOMPARE(http.json("POST", "/zelt/svc/banlist", entry).body, QByteArray("3")); // already banned
    QCOMPARE(http.json("POST", "/zelt/svc/banlist", {{"Mode", 3}, {"Filename", "x"}}).status, 400);
    QCOMPARE(http.json("POST", "/zelt/svc/banlist", {{"Mode", 9}, {"Filename", "x"}}).status, 400);
    QCOMPARE(http.json("POST", "/zelt/svc/banlist", {{"Mode", 0}}).status, 400);
    QCOMPARE(
        http.send("POST", "/zelt/svc/banlist", "Casino", {{"Content-Type", "application/json"}})
            .status,
        400);
    QCOMPARE(
        http.get("/zelt/svc/banlist").array().last().toObject(),
        QJsonObject({{"Id", 3}, {"Mode", 3}, {"Filename", "Casino"}, {"Checksum", "*casino*"}}));

    QCOMPARE(http.remove("/zelt/svc/banlist?banlistId=3").status, 403);
    http.setBearer(sim.login("vera"));
    reply = http.remove("/zelt/svc/banlist?banlistId=3");
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.body, QByteArray("3"));
    QCOMPARE(http.remove("/zelt/svc/banlist?banlistId=3").status, 404);
    QCOMPARE(http.remove("/zelt/svc/banlist?banlistId=three").status, 400);
    QCOMPARE(http.get("/zelt/svc/banlist").array().size(), 2);
}

void TestSimPlatform::bundlesVisibleToEachUser_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("bundles");
    QTest::newRow("owner") << "anna"
                           << "" << 200 << QStringList{"AB-1", "AB-2"};
    QTest::newRow("somebody else") << "sven"
                                   << "" << 200 << QStringList{"AB-1"};
    QTest::newRow("administrator") << "vera"
                                   << "" << 200 << QStringList{"AB-1", "AB-2"};
    QTest::newRow("one by id") << "anna"
                               << "AB-2" << 200 << QStringList{"AB-2"};
    QTest::newRow("somebody else's by id") << "sven"
                                           << "AB-2" << 404 << QStringList();
    QTest::newRow("unknown id") << "anna"
                                << "AB-9" << 404 << QStringList();
}

void TestSimPlatform::bundlesVisibleToEachUser()
{
    QFETCH(QString, user);
    QFETCH(QString, query);
    QFETCH(int, status);
    QFETCH(QStringList, bundles);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    http.setBearer(sim.login(user));
    const SimReply reply = http.get("/zelt/svc/assetbundle?bundleId=" + query);
    QCOMPARE(reply.status, status);
    if (status == 200)
        QCOMPARE(bundleIds(reply.array()), bundles);
}

void TestSimPlatform::bundlesAreCreatedAndModified()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QString path = QStringLiteral("/zelt/svc/assetbundle");
    SimReply reply = http.json("POST", path, bundle("Booth"));
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.body, QByteArray("AB-3"));
    const QJsonObject stored = http.get(path + "?bundleId=AB-3").array().at(0).toObject();
    QCOMPARE(stored.value("UserId").toString(), sim.idOf("anna"));
    QCOMPARE(stored.value("UserName").toString(), QStringLiteral("Anna Berg"));
    QCOMPARE(stored.value("StgRelPath").toString(), QStringLiteral("acme/__ASSETBUNDLES/Booth"));

    QCOMPARE(http.json("POST", path, bundle("booth")).status, 409);
    QJsonObject global = bundle("Stage");
    global.insert("Id", "GLOBAL");
    QCOMPARE(http.json("POST", path, global).status, 403);
    QCOMPARE(http.json("POST", path, bundle("")).status, 400);
    QCOMPARE(http.json("POST", path, bundle("Tent", 3)).status, 400);
    QCOMPARE(http.json("POST", path, {{"Name", "Tent"}, {"Mode", 1}}).status, 400);

    QJsonObject renamed = bundle("Booth 2");
    renamed.insert("Id", "AB-3");
    QCOMPARE(http.json("POST", path, renamed).body, QByteArray("AB-3"));
    QCOMPARE(http.get(path + "?bundleId=AB-3").array().at(0).toObject().value("Name").toString(),
             QStringLiteral("Booth 2"));
    QJsonObject other = bundle("Mine");
    other.insert("Id", "AB-3");
    http.setBearer(sim.login("sven"));
    QCOMPARE(http.json("POST", path, other).status, 403);
    // Somebody else may use the same name.
    QCOMPARE(http.json("POST", path, bundle("Booth 2")).body, QByteArray("AB-4"));

    http.setBearer(sim.login("vera"));
    reply = http.json("POST", path, global);
    QCOMPARE(reply.body, QByteArray("AB-5"));
    const QJsonObject stage = http.get(path + "?bundleId=AB-5").array().at(0).toObject();
    QCOMPARE(stage.value("UserId").toString(), QString());
}

void TestSimPlatform::deletingABundleRemovesItsReferences()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QString path = QStringLiteral("/zelt/svc/assetbundle?bundleId=");
    http.setBearer(sim.login("sven"));
    QCOMPARE(http.remove(path + "AB-2").status, 403);
    http.setBearer(sim.login("anna"));
    QCOMPARE(http.remove(path + "AB-1").status, 403); // global
    QCOMPARE(http.remove(path).status, 400);
    QCOMPARE(http.remove(path + "AB-9").status, 404);
    const SimReply reply = http.remove(path + "AB-2");
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.body, QByteArray("AB-2"));
    QVERIFY(http.get("/zelt/svc/meeting/Acme01/info")
                .object()
                .value("assetBundles")
                .toArray()
                .isEmpty());
    http.setBearer(sim.login("vera"));
    QCOMPARE(http.remove(path + "AB-1").status, 200);
    QVERIFY(http.get("/zelt/svc/assetbundle?bundleId=").array().isEmpty());
}

void TestSimPlatform::reload()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    QCOMPARE(http.get("/zelt/svc/update").status, 200);
}

QTEST_GUILESS_MAIN(TestSimPlatform)
#include "tst_simplatform.moc"
