// The authentication service of the stand-in: logins, tokens and their lifetimes, profile,
// groups and password changes, and the bearer check of the other services.
#include "SimHttp.h"
#include "SimTestServer.h"

#include <QtTest>

namespace {
const QString loginPath = QStringLiteral("/auth/login");
const QString refreshPath = QStringLiteral("/auth/refreshtoken");

SimHttp::Pairs loginForm(const QString &user, const QString &password)
{
    return {{QStringLiteral("client"), QStringLiteral("Brenn")},
            {QStringLiteral("password"), password},
            {QStringLiteral("passwordold"), QString()},
            {QStringLiteral("username"), user}};
}

void verifyZeltError(const SimReply &reply, int status)
{
    QCOMPARE(reply.status, status);
    const QJsonObject error = reply.object();
    QCOMPARE(error.value(QStringLiteral("code")).toInt(), status);
    QVERIFY(!error.value(QStringLiteral("message")).toString().isEmpty());
    QVERIFY(!error.value(QStringLiteral("source")).toString().isEmpty());
}
} // namespace

class TestSimAuth : public SimTestCase
{
    Q_OBJECT

private slots:
    void loginAnswersAFullTokenSet();
    void refusedLogins_data();
    void refusedLogins();
    void userProfileComesWithTheToken();
    void groupsAreFilteredByPrefixAndCarryStorage();
    void groupsNeedTheRealm();
    void accessTokenDiesAfterItsLifetime();
    void refreshGivesAWorkingTokenPair();
    void refreshOfAnEndedSessionIsNotActive();
    void expiredAccessTokensCanStillBeRefreshed();
    void logoutEndsTheSession();
    void passwordChange();
    void otherServicesWantABearerToken_data();
    void otherServicesWantABearerToken();
};

void TestSimAuth::loginAnswersAFullTokenSet()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const SimReply reply = http.form("POST", loginPath, loginForm("anna", "anna-demo"));
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.header("Content-Type").startsWith("application/json"));
    const QJsonObject auth = reply.object();
    for (const char *member :
         {"access_token", "refresh_token", "token_type", "session_state", "scope"})
        QVERIFY2(!auth.value(QLatin1String(member)).toString().isEmpty(), member);
    QCOMPARE(auth.value("expires_in").toInt(), 300);
    QCOMPARE(auth.value("refresh_expires_in").toInt(), 1800);
    QVERIFY(auth.value("not-before-policy").isDouble());
    QCOMPARE(auth.value("token_type").toString(), QStringLiteral("Bearer"));
    // Each login is a session of its own.
    QVERIFY(sim.login("anna") != auth.value("access_token").toString());
}

void TestSimAuth::refusedLogins_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray form = "application/x-www-form-urlencoded";
    QTest::newRow("wrong password") << SimHttp::formBody(loginForm("anna", "wrong")) << form << 401
                                    << "invalid user credentials";
    QTest::newRow("unknown user") << SimHttp::formBody(loginForm("nobody", "x")) << form << 401
                                  << "invalid user credentials";
    QTest::newRow("other client") << QByteArray("client=Other&password=anna-demo&username=anna")
                                  << form << 401 << "Invalid client or client credentials";
    QTest::newRow("no user name") << QByteArray("client=Brenn&password=anna-demo") << form << 400
                                  << "Missing form parameter: username";
    QTest::newRow("JSON instead of a form")
        << QByteArray(R"({"client":"Brenn","username":"anna","password":"anna-demo"})")
        << QByteArray("application/json") << 400
        << "Expected an application/x-www-form-urlencoded body";
}

void TestSimAuth::refusedLogins()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(int, status);
    QFETCH(QString, message);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const SimReply reply = http.send("POST", loginPath, body, {{"Content-Type", contentType}});
    verifyZeltError(reply, status);
    QCOMPARE(reply.message(), message);
}

void TestSimAuth::userProfileComesWithTheToken()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QString userQuery =
        QStringLiteral("/auth/user?client=&clientAuth=login-app&clientApp=meeting-app");

    http.setBearer(sim.login("gustav"));
    QJsonObject user = http.get(userQuery).object();
    QCOMPARE(user.value("userId").toString(), QStringLiteral("gustav"));
    QCOMPARE(user.value("id").toString(), sim.idOf("gustav"));
    QCOMPARE(user.value("status").toString(), QStringLiteral("active"));
    QCOMPARE(
        user.value("roles").toArray(),
        QJsonArray({QStringLiteral("Zelt_Presenter"), QStringLiteral("Zelt_Group_Administrator")}));
    QVERIFY(QDate::fromString(user.value("created").toString(), Qt::ISODate).isValid());

    // Inactive accounts and accounts without the presenter role may log in; the console
    // refuses them by what the profile says.
    http.setBearer(sim.login("ingrid"));
    QCOMPARE(http.get(userQuery).object().value("status").toString(), QStringLiteral("inactive"));
    http.setBearer(sim.login("paul"));
    QVERIFY(!http.get(userQuery).object().value("roles").toArray().contains(
        QStringLiteral("Zelt_Presenter")));
}

void TestSimAuth::groupsAreFilteredByPrefixAndCarryStorage()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("vera"));
    QJsonObject reply = http.get("/auth/groups?realm=Brenn&prefix=Customer").object();
    QCOMPARE(reply.value("userId").toString(), sim.idOf("vera"));
    QJsonArray groups = reply.value("groups").toArray();
    QCOMPARE(groups.size(), 1);
    QCOMPARE(groups.at(0).toObject().value("name").toString(), QStringLiteral("Customer Vorel"));
    QCOMPARE(http.get("/auth/groups?realm=Brenn&prefix=").object().value("groups").toArray().size(),
             2);

    // Static storage credentials name the configured object store.
    http.setBearer(sim.login("mia"));
    groups =
        http.get("/auth/groups?realm=Brenn&prefix=Customer").object().value("groups").toArray();
    QCOMPARE(groups.size(), 1);
    const QJsonArray subGroups = groups.at(0).toObject().value("subGroups").toArray();
    QJsonObject attributes;
    for (const QJsonValue &subGroup : subGroups) {
        if (subGroup.toObject().value("name").toString() != QLatin1String("S3_Config"))
            continue;
        for (const QJsonValue &attribute : subGroup.toObject().value("attributes").toArray())
            attributes.insert(attribute.toObject().value("key").toString(),
                              attribute.toObject().value("value").toArray().first());
    }
    QCOMPARE(attributes.value("Modus").toString(), QStringLiteral("MINIO"));
    QCOMPARE(attributes.value("Address").toString(), sim.server.config().s3Endpoint);
    QCOMPARE(attributes.value("User").toString(), sim.server.config().s3Key);
    QCOMPARE(attributes.value("Pass").toString(), sim.server.config().s3Secret);
    QCOMPARE(attributes.value("Bucket").toString(), sim.server.config().s3Bucket);
}

void TestSimAuth::groupsNeedTheRealm()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    verifyZeltError(http.get("/auth/groups?realm=Other&prefix=Customer"), 404);
    verifyZeltError(http.get("/auth/groups?prefix=Customer"), 400);
}

void TestSimAuth::accessTokenDiesAfterItsLifetime()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    sim.server.advanceClock(299);
    QCOMPARE(http.get("/auth/user?client=&clientAuth=&clientApp=").status, 200);
    sim.server.advanceClock(1);
    verifyZeltError(http.get("/auth/user?client=&clientAuth=&clientApp="), 401);
}

void TestSimAuth::refreshGivesAWorkingTokenPair()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QString refreshToken = sim.refreshTokenOf("anna");
    sim.server.advanceClock(600);
    const SimReply reply = http.form("POST", refreshPath,
                                     {{QStringLiteral("realm"), QStringLiteral("Brenn")},
                                      {QStringLiteral("token"), refreshToken}});
    QCOMPARE(reply.status, 200);
    const QJsonObject auth = reply.object();
    QCOMPARE(auth.value("expires_in").toInt(), 300);
    QVERIFY(!auth.value("refresh_token").toString().isEmpty());
    http.setBearer(auth.value("access_token").toString());
    QCOMPARE(http.get("/zelt/svc/banlist").status, 200);

    verifyZeltError(http.form("POST", refreshPath,
                              {{QStringLiteral("realm"), QStringLiteral("Other")},
                               {QStringLiteral("token"), refreshToken}}),
                    404);
}

void TestSimAuth::refreshOfAnEndedSessionIsNotActive()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QString refreshToken = sim.refreshTokenOf("anna");
    const QString otherUser = sim.refreshTokenOf("vera");
    QVERIFY(sim.server.endSessions("anna"));
    SimReply reply = http.form("POST", refreshPath,
                               {{QStringLiteral("realm"), QStringLiteral("Brenn")},
                                {QStringLiteral("token"), refreshToken}});
    verifyZeltError(reply, 400);
    QVERIFY(reply.message().contains("Token is not active"));
    reply = http.form(
        "POST", refreshPath,
        {{QStringLiteral("realm"), QStringLiteral("Brenn")}, {QStringLiteral("token"), otherUser}});
    QCOMPARE(reply.status, 200);

    // A refresh token outlives access tokens, but not its own lifetime.
    const QString veraToken = reply.object().value("refresh_token").toString();
    sim.server.advanceClock(1800);
    reply = http.form(
        "POST", refreshPath,
        {{QStringLiteral("realm"), QStringLiteral("Brenn")}, {QStringLiteral("token"), veraToken}});
    QCOMPARE(reply.message(), QStringLiteral("Token is not active"));
}

void TestSimAuth::expiredAccessTokensCanStillBeRefreshed()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url(), sim.login("anna"));
    const QString refreshToken = sim.refreshTokenOf("anna");
    QVERIFY(sim.server.expireAccessTokens("anna"));
    QVERIFY(!sim.server.expireAccessTokens("nobody"));
    verifyZeltError(http.get("/zelt/svc/meetings"), 401);
    const SimReply reply = http.form("POST", refreshPath,
                                     {{QStringLiteral("realm"), QStringLiteral("Brenn")},
                                      {QStringLiteral("token"), refreshToken}});
    QCOMPARE(reply.status, 200);
    http.setBearer(reply.object().value("access_token").toString());
    QCOMPARE(http.get("/zelt/svc/meetings").status, 200);
}

void TestSimAuth::logoutEndsTheSession()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QJsonObject auth = http.form("POST", loginPath, loginForm("anna", "anna-demo")).object();
    const QString refreshToken = auth.value("refresh_token").toString();
    const SimHttp::Pairs logout = {{QStringLiteral("refresh_token"), refreshToken}};
    QCOMPARE(http.form("POST", "/auth/logout", logout).status, 204);
    verifyZeltError(http.form("POST", "/auth/logout", logout), 400);
    verifyZeltError(http.form("POST", refreshPath,
                              {{QStringLiteral("realm"), QStringLiteral("Brenn")},
                               {QStringLiteral("token"), refreshToken}}),
                    400);
    http.setBearer(auth.value("access_token").toString());
    verifyZeltError(http.get("/zelt/svc/banlist"), 401);
}

void TestSimAuth::passwordChange()
{
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    const QString path = QStringLiteral("/auth/user/%1/pwdreset").arg(sim.idOf("anna"));
    const auto change = [&](const QString &newPassword, const QString &oldPassword) {
        return http.form("PATCH", path,
                         {{QStringLiteral("client"), QStringLiteral("Brenn")},
                          {QStringLiteral("password"), newPassword},
                          {QStringLiteral("passwordold"), oldPassword},
                          {QStringLiteral("username"), QStringLiteral("anna")}});
    };
    SimReply reply = change("new-secret", "wrong-old");
    verifyZeltError(reply, 401);
    QVERIFY(reply.message().contains("invalid user credentials", Qt::CaseInsensitive));
    verifyZeltError(change("short", "anna-demo"), 400);
    verifyZeltError(http.form("PATCH", "/auth/user/unknown-id/pwdreset",
                              {{QStringLiteral("client"), QStringLiteral("Brenn")},
                               {QStringLiteral("password"), QStringLiteral("new-secret")},
                               {QStringLiteral("passwordold"), QStringLiteral("anna-demo")},
                               {QStringLiteral("username"), QStringLiteral("anna")}}),
                    404);

    reply = change("new-secret", "anna-demo");
    QCOMPARE(reply.status, 200);
    http.setBearer(reply.object().value("access_token").toString());
    QCOMPARE(http.get("/zelt/svc/banlist").status, 200);
    QVERIFY(sim.login("anna").isEmpty());
    QVERIFY(!sim.login("anna", "new-secret").isEmpty());
}

void TestSimAuth::otherServicesWantABearerToken_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::newRow("user") << QByteArray("GET") << "/auth/user?client=&clientAuth=&clientApp=";
    QTest::newRow("meetings") << QByteArray("GET") << "/meetings?creator=*";
    QTest::newRow("delete meeting") << QByteArray("DELETE") << "/meetings/Acme01";
    QTest::newRow("live meetings") << QByteArray("GET") << "/zelt/svc/meetings";
    QTest::newRow("meeting info") << QByteArray("GET") << "/zelt/svc/meeting/acme01/info";
    QTest::newRow("storage token") << QByteArray("GET") << "/zelt/svc/s3/token";
    QTest::newRow("banlist") << QByteArray("GET") << "/zelt/svc/banlist";
    QTest::newRow("bundles") << QByteArray("GET") << "/zelt/svc/assetbundle?bundleId=";
    QTest::newRow("service log") << QByteArray("GET") << "/zelt/svc/logfile?count=5";
    QTest::newRow("reload") << QByteArray("GET") << "/zelt/svc/update";
}

void TestSimAuth::otherServicesWantABearerToken()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    SimTestServer &sim = server();
    SimHttp http(sim.url());
    verifyZeltError(http.send(method, path, {}, {}), 401);
    http.setBearer(QStringLiteral("not-a-token"));
    verifyZeltError(http.send(method, path, {}, {}), 401);
    // Status and versions answer before anybody logs in.
    QCOMPARE(http.get("/zelt/svc/status").status, 200);
    QCOMPARE(http.get("/zelt/svc/versions").status, 200);
}

QTEST_GUILESS_MAIN(TestSimAuth)
#include "tst_simauth.moc"
