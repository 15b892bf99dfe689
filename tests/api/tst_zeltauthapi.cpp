#include "OperationProbe.h"
#include "RecordingHttpServer.h"
#include "auth/ZeltAuthApi.h"
#include "auth/ZeltError.h"

#include <QJsonDocument>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Zelt_AuthService_API;
using Reply = RecordingHttpServer::Reply;
using Invoke = std::function<void(ZeltAuthApi &)>;
Q_DECLARE_METATYPE(Invoke)

namespace {

const QByteArray form = "application/x-www-form-urlencoded";
const QByteArray errorBody =
    R"({"code": 401, "message": "Invalid user credentials", "source": "auth"})";
const QByteArray tokens = R"({"access_token": "at", "expires_in": 300, "refresh_expires_in": 1800,
    "refresh_token": "rt", "token_type": "Bearer", "not-before-policy": 0,
    "session_state": "s-1", "scope": "email profile"})";

} // namespace

class tst_ZeltAuthApi : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void operations_data();
    void operations();
    void tokenReplies_data();
    void tokenReplies();
    void userProfile();
    void nestedGroups();
    void errorFromFailureText();

private:
    std::unique_ptr<RecordingHttpServer> m_server;
    std::unique_ptr<ZeltAuthApi> m_api;
};

void tst_ZeltAuthApi::init()
{
    m_server = std::make_unique<RecordingHttpServer>();
    QVERIFY(m_server->listen());
    m_api = std::make_unique<ZeltAuthApi>(ServiceAddress::fromConfig(m_server->url(), QString()));
    m_api->addHeaders("Content-Type", "application/x-www-form-urlencoded");
    m_api->addHeaders("Authorization", "Bearer at");
}

void tst_ZeltAuthApi::operations_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<Invoke>("invoke");
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("groups") << QByteArray("authGroupsGet") << Invoke([](ZeltAuthApi &api) {
        api.authGroupsGet("master", "Zelt_");
    }) << QByteArray("GET /auth/groups?realm=master&prefix=Zelt_ HTTP/1.1")
                            << QByteArray() << QByteArray(R"({"userId": "u1", "groups": []})");
    QTest::newRow("login")
        << QByteArray("authLoginPost") << Invoke([](ZeltAuthApi &api) {
               api.authLoginPost("console", "anna@x.org", "p&ss word", "");
           })
        << QByteArray("POST /auth/login HTTP/1.1")
        << QByteArray("client=console&password=p%26ss%20word&passwordold=&username=anna%40x.org")
        << tokens;
    QTest::newRow("logout") << QByteArray("authLogoutPost")
                            << Invoke([](ZeltAuthApi &api) { api.authLogoutPost("rt/1"); })
                            << QByteArray("POST /auth/logout HTTP/1.1")
                            << QByteArray("refresh_token=rt%2F1") << QByteArray();
    QTest::newRow("password reset")
        << QByteArray("authPasswordResetPost") << Invoke([](ZeltAuthApi &api) {
               api.authPasswordResetPost("u 1", "console", "anna", "n\u00e9w", "old");
           })
        << QByteArray("PATCH /auth/user/u%201/pwdreset HTTP/1.1")
        << QByteArray("client=console&password=n%C3%A9w&passwordold=old&username=anna") << tokens;
    QTest::newRow("refresh") << QByteArray("authRefreshPost") << Invoke([](ZeltAuthApi &api) {
        api.authRefreshPost("master", "rt");
    }) << QByteArray("POST /auth/refreshtoken HTTP/1.1")
                             << QByteArray("realm=master&token=rt") << tokens;
    QTest::newRow("user") << QByteArray("authUserGet") << Invoke([](ZeltAuthApi &api) {
        api.authUserGet("console", "", "app");
    }) << QByteArray("GET /auth/user?client=console&clientAuth=&clientApp=app HTTP/1.1")
                          << QByteArray() << QByteArray(R"({"userId": "u1"})");
}

void tst_ZeltAuthApi::operations()
{
    QFETCH(QByteArray, operation);
    QFETCH(Invoke, invoke);
    QFETCH(QByteArray, requestLine);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, reply);

    m_server->setReply(Reply::json(reply));
    auto probe = answerOf(operation, [&] {
        invoke(*m_api);
        return m_api.get();
    });
    QVERIFY(probe && probe->succeededOnce());
    const RecordingHttpServer::Request request = m_server->requests().first();
    QCOMPARE(request.requestLine(), requestLine);
    QCOMPARE(request.body, body);
    QCOMPARE(request.header("Content-Type"), form);
    QCOMPARE(request.header("Authorization"), QByteArray("Bearer at"));

    m_server->setReply(Reply::json(errorBody, 401));
    probe = answerOf(operation, [&] {
        invoke(*m_api);
        return m_api.get();
    });
    QVERIFY(probe && probe->failedOnce());
    QCOMPARE(probe->errorType(), QNetworkReply::AuthenticationRequiredError);
    QVERIFY(probe->errorText().endsWith(", " + errorBody));
    QCOMPARE(probe->signalE().first().last(), probe->errorText());
}

void tst_ZeltAuthApi::tokenReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint32>("notBeforePolicy");

    QTest::newRow("all eight members") << tokens << true << 0;
    QTest::newRow("no scope") << QByteArray(tokens).replace(R"("scope": "email profile")",
                                                            R"("x": 1)")
                              << false << 0;
    QTest::newRow("policy as number")
        << QByteArray(tokens).replace(R"("not-before-policy": 0)", R"("not-before-policy": 17)")
        << true << 17;
    QTest::newRow("policy as text")
        << QByteArray(tokens).replace(R"("not-before-policy": 0)", R"("not-before-policy": "abc")")
        << true << 0;
    QTest::newRow("lifetime missing")
        << QByteArray(tokens).replace(R"("expires_in": 300,)", "") << false << 0;
}

void tst_ZeltAuthApi::tokenReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, valid);
    QFETCH(qint32, notBeforePolicy);

    m_server->setReply(Reply::json(reply));
    QSignalSpy login(m_api.get(), &ZeltAuthApi::authLoginPostSignal);
    m_api->authLoginPost("console", "anna", "pw", "");
    QVERIFY(login.wait(20000));
    const ZeltAuth auth = login.first().first().value<ZeltAuth>();
    QCOMPARE(auth.isValid(), valid);
    QCOMPARE(auth.accessToken(), QStringLiteral("at"));
    QCOMPARE(auth.refreshToken(), QStringLiteral("rt"));
    QCOMPARE(auth.refreshExpiresIn(), 1800);
    QCOMPARE(auth.notBeforePolicy(), notBeforePolicy);
    QVERIFY(auth.isNotBeforePolicyValid());
}

void tst_ZeltAuthApi::userProfile()
{
    const ZeltUser user(QStringLiteral(R"({"id": "7", "userId": "anna", "firstName": "Anna",
        "roles": ["Zelt_Presenter", "Zelt_Administrator"], "created": "2023-10-01", "phone": null})"));
    QCOMPARE(user.userId(), QStringLiteral("anna"));
    QCOMPARE(user.roles(), (QList<QString>{"Zelt_Presenter", "Zelt_Administrator"}));
    QCOMPARE(user.created(), QDate(2023, 10, 1));
    QVERIFY(!user.isPhoneSet());
    const QJsonObject written = user.asJsonObject();
    QCOMPARE(written.keys(), (QStringList{"created", "firstName", "id", "roles", "userId"}));
    QCOMPARE(ZeltUser(user.asJson()).asJsonObject(), written);

    const ZeltUser roleless(QStringLiteral(R"({"userId": "bob"})"));
    QVERIFY(roleless.roles().isEmpty());
    QVERIFY(!roleless.asJsonObject().contains("roles"));
    QVERIFY(!roleless.isCreatedValid());
}

void tst_ZeltAuthApi::nestedGroups()
{
    m_server->setReply(Reply::json(R"({"userId": "u1", "groups": [
        {"id": "g1", "name": "Zelt_Storage", "attributes": [
            {"key": "Type", "value": ["MinIO"]}, {"key": "Bucket", "value": ["b1", 2]}],
         "subGroups": [{"id": "g2", "name": "inner", "subGroups": [{"name": "deepest"}]}]},
        "not a group"]})"));
    QSignalSpy groups(m_api.get(), &ZeltAuthApi::authGroupsGetSignal);
    m_api->authGroupsGet("master", "");
    QVERIFY(groups.wait(20000));
    const ZeltUserGroups result = groups.first().first().value<ZeltUserGroups>();

    QCOMPARE(result.userId(), QStringLiteral("u1"));
    QVERIFY(!result.isGroupsValid()); // the second element is not an object
    QCOMPARE(result.groups().size(), 2);
    const ZeltUserGroup storage = result.groups().first();
    QCOMPARE(storage.attributes().size(), 2);
    QCOMPARE(storage.attributes().at(0).value(), QList<QString>{"MinIO"});
    QCOMPARE(storage.attributes().at(1).value(), (QList<QString>{"b1", "2"}));
    QCOMPARE(storage.subGroups().first().subGroups().first().name(), QStringLiteral("deepest"));
    QVERIFY(!result.groups().at(1).isSet());

    // Written back, the nested structure survives a round trip.
    const ZeltUserGroups again(result.asJson());
    QCOMPARE(again.asJsonObject(), result.asJsonObject());
    QCOMPARE(again.groups().first().subGroups().first().name(), QStringLiteral("inner"));
}

void tst_ZeltAuthApi::errorFromFailureText()
{
    m_server->setReply(Reply::json(errorBody, 401));
    QSignalSpy failed(m_api.get(), &ZeltAuthApi::authLoginPostSignalE);
    m_api->authLoginPost("console", "anna", "wrong", "");
    QVERIFY(failed.wait(20000));
    const ZeltError error = ZeltError::fromErrorText(failed.first().at(2).toString());
    QVERIFY(error.isValid());
    QCOMPARE(error.code(), 401);
    QCOMPARE(error.message(), QStringLiteral("Invalid user credentials"));
    QVERIFY(!error.isLineSet());

    const ZeltError none = ZeltError::fromErrorText(QStringLiteral("Connection refused, "));
    QVERIFY(!none.isValid());
    QVERIFY(!none.isSet());
    QVERIFY(!ZeltError::fromErrorText(QStringLiteral(R"(oops, {"code": 1, "message": "m"})"))
                 .isValid());
}

QTEST_GUILESS_MAIN(tst_ZeltAuthApi)
#include "tst_zeltauthapi.moc"
