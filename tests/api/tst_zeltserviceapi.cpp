#include "OperationProbe.h"
#include "RecordingHttpServer.h"
#include "service/ZeltAssetBundleApi.h"
#include "service/ZeltMeetingServiceApi.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Zelt_Service_API;
using Reply = RecordingHttpServer::Reply;

namespace {

struct Clients
{
    ZeltMeetingServiceApi &service;
    ZeltAssetBundleApi &bundles;
};

} // namespace

// Calls one operation and returns the client it was called on.
using Invoke = std::function<QObject *(Clients &)>;
Q_DECLARE_METATYPE(Invoke)

namespace {

const QByteArray json = "application/json";
const QByteArray form = "application/x-www-form-urlencoded";

const QByteArray meetingInfoJson = R"({
  "meetingId": "m1", "statusMirror": 2, "endingTime": "2024-06-01 18:00", "licenseMode": 1,
  "licenseCountAttendees": 25, "voiceMode": 1, "voiceMode3D": 0, "chatMode": 2,
  "clients": [{"Id": 3, "Alias": "Anna", "currentRole": "presenter", "MeetingId": "m1",
               "IP": 2130706433, "HostName": "pc-1", "voiceEnabled": true, "voiceIsTalking": false,
               "Credentials": {"User": "anna", "Pass": "x"}}],
  "assets": [{"Id": 17, "MeetingId": "m1", "Name": "plan.pdf", "Mode": 1, "StgHost": "s3.local",
              "StgBucket": "b", "StgRelPath": "m1/plan.pdf", "StgSize": 5000000000,
              "StgPreSgnPath": "https:\/\/s3.local/b/m1/plan.pdf?sig", "StgChecksum": "abc",
              "StgCredentials": {"User": "k", "Pass": "s"},
              "Position": {"x": 1, "y": 2.5, "z": -3}, "Rotation": {"x": 0, "y": 90, "z": 0},
              "Scale": {"x": 1, "y": 1, "z": 1}}],
  "assetBundles": [{"Id": "b1", "UserId": "u1", "UserName": "Anna", "Name": "Room", "Mode": 2,
                    "StgRelPath": "__ASSETBUNDLES/Room", "StgSize": [10, 6000000000],
                    "StgPreSgnPath": ["p1", "p2"], "StgChecksums": ["c1", "c2"]}],
  "spawnPoints": [{"Id": 1, "PlayerId": 3, "MeetingId": "m1", "Name": "Door",
                   "Position": {"x": 4, "y": 0, "z": 4}, "Rotation": {"x": 0, "y": 180, "z": 0}}]
})";

const QByteArray versionsJson = R"({
  "Console": {"Name": "Vorel Console", "Version": [3, 1, 2], "UpdateUrl": "http:\/\/x/setup.exe"},
  "WindowsDesktop": {"Name": "Desktop", "Version": [2, 0]},
  "WindowsVR": {"Name": "VR", "Version": [2, 0, 1]},
  "Android": {"Name": "Android", "Version": [1]}
})";

QJsonObject objectOf(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

class tst_ZeltServiceApi : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void operations_data();
    void operations();
    void textAndNumberResults_data();
    void textAndNumberResults();
    void statusIgnoresTheBody();

    void meetingInfoRoundTrip();
    void absentListsAndModelsStayUnwritten();
    void strictMemberTypes();
    void meetingLists();
    void commandResponse();
    void temporaryAccessKey();
    void versions();

private:
    template <typename Api, typename Signal>
    QList<QVariant> firstAnswer(Api &api, Signal signal, const std::function<void()> &call);

    std::unique_ptr<RecordingHttpServer> m_server;
    std::unique_ptr<ZeltMeetingServiceApi> m_service;
    std::unique_ptr<ZeltAssetBundleApi> m_bundles;
};

void tst_ZeltServiceApi::init()
{
    m_server = std::make_unique<RecordingHttpServer>();
    QVERIFY(m_server->listen());
    const ServiceAddress address = ServiceAddress::fromConfig(m_server->url() + "/base", QString());
    m_service = std::make_unique<ZeltMeetingServiceApi>(address);
    m_bundles = std::make_unique<ZeltAssetBundleApi>(address);
    for (ZeltApiClient *api : {static_cast<ZeltApiClient *>(m_service.get()),
                               static_cast<ZeltApiClient *>(m_bundles.get())}) {
        api->addHeaders("Content-Type", "application/json");
        api->addHeaders("accept", "application/json");
        api->addHeaders("Authorization", "Bearer at");
    }
}

template <typename Api, typename Signal>
QList<QVariant> tst_ZeltServiceApi::firstAnswer(Api &api, Signal signal,
                                                const std::function<void()> &call)
{
    QSignalSpy spy(&api, signal);
    call();
    return spy.wait(20000) ? spy.first() : QList<QVariant>();
}

void tst_ZeltServiceApi::operations_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<Invoke>("invoke");
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");

    ZeltAsset asset;
    asset.setName("plan.pdf");
    asset.setMode(3);
    ZeltBanlistEntry entry;
    entry.setFilename("bad.exe");
    entry.setMode(1);
    ZeltMeetingCommand command;
    command.setMeetingId("a/b");
    command.setCommand("kick");
    command.setParams({"3"});
    const ZeltMeetingInfo info(QString::fromUtf8(meetingInfoJson));
    ZeltAssetBundle bundle;
    bundle.setName("Room");
    bundle.setStgSize({1, 2});

    const auto row = [](const char *name, const char *operation, const Invoke &invoke,
                        const char *line, const QByteArray &contentType, const QByteArray &body) {
        QTest::newRow(name) << QByteArray(operation) << invoke << QByteArray(line) + " HTTP/1.1"
                            << contentType << body;
    };
    row(
        "assetAdd", "assetAdd",
        [asset](Clients &c) {
            c.service.assetAdd("m 1", asset);
            return &c.service;
        },
        "POST /base/zelt/svc/meeting/m%201/asset", json, asset.asJson().toUtf8());
    row(
        "assetDelete", "assetDelete",
        [](Clients &c) {
            c.service.assetDelete("m1", 17);
            return &c.service;
        },
        "DELETE /base/zelt/svc/meeting/m1/asset/17", form, QByteArray());
    row(
        "banlistDelete", "banlistDelete",
        [](Clients &c) {
            c.service.banlistDelete(5);
            return &c.service;
        },
        "DELETE /base/zelt/svc/banlist?banlistId=5", form, QByteArray());
    row(
        "banlistGet", "banlistGet",
        [](Clients &c) {
            c.service.banlistGet();
            return &c.service;
        },
        "GET /base/zelt/svc/banlist", json, QByteArray());
    row(
        "banlistPost", "banlistPost",
        [entry](Clients &c) {
            c.service.banlistPost(entry);
            return &c.service;
        },
        "POST /base/zelt/svc/banlist", json, entry.asJson().toUtf8());
    row(
        "meetingCommand", "meetingCommand",
        [command](Clients &c) {
            c.service.meetingCommand("a/b", command);
            return &c.service;
        },
        "POST /base/zelt/svc/meeting/a%2Fb/command", json, command.asJson().toUtf8());
    row(
        "meetingInfo", "meetingInfo",
        [](Clients &c) {
            c.service.meetingInfo("a/b");
            return &c.service;
        },
        "GET /base/zelt/svc/meeting/a%2Fb/info", json, QByteArray());
    row(
        "meetingInfoUpdate", "meetingInfoUpdate",
        [info](Clients &c) {
            c.service.meetingInfoUpdate("m1", info);
            return &c.service;
        },
        "PUT /base/zelt/svc/meeting/m1/info", json, info.asJson().toUtf8());
    row(
        "meetingLogfile", "meetingLogfile",
        [](Clients &c) {
            c.service.meetingLogfile("m1", 200);
            return &c.service;
        },
        "GET /base/zelt/svc/m1/logfile?count=200", json, QByteArray());
    row(
        "s3TempAccessKey", "s3TempAccessKey",
        [](Clients &c) {
            c.service.s3TempAccessKey();
            return &c.service;
        },
        "GET /base/zelt/svc/s3/token", json, QByteArray());
    row(
        "serviceLogfile", "serviceLogfile",
        [](Clients &c) {
            c.service.serviceLogfile(-1);
            return &c.service;
        },
        "GET /base/zelt/svc/logfile?count=-1", json, QByteArray());
    row(
        "serviceMeetings", "serviceMeetings",
        [](Clients &c) {
            c.service.serviceMeetings();
            return &c.service;
        },
        "GET /base/zelt/svc/meetings", json, QByteArray());
    row(
        "serviceStatus", "serviceStatus",
        [](Clients &c) {
            c.service.serviceStatus();
            return &c.service;
        },
        "GET /base/zelt/svc/status", json, QByteArray());
    row(
        "serviceUpdate", "serviceUpdate",
        [](Clients &c) {
            c.service.serviceUpdate();
            return &c.service;
        },
        "GET /base/zelt/svc/update", json, QByteArray());
    row(
        "serviceVersions", "serviceVersions",
        [](Clients &c) {
            c.service.serviceVersions();
            return &c.service;
        },
        "GET /base/zelt/svc/versions", json, QByteArray());
    row(
        "assetBundleDelete", "assetBundleDelete",
        [](Clients &c) {
            c.bundles.assetBundleDelete("b 1");
            return &c.bundles;
        },
        "DELETE /base/zelt/svc/assetbundle?bundleId=b%201", form, QByteArray());
    row(
        "assetBundleGet", "assetBundleGet",
        [](Clients &c) {
            c.bundles.assetBundleGet("");
            return &c.bundles;
        },
        "GET /base/zelt/svc/assetbundle?bundleId=", json, QByteArray());
    row(
        "assetBundlePost", "assetBundlePost",
        [bundle](Clients &c) {
            c.bundles.assetBundlePost(bundle);
            return &c.bundles;
        },
        "POST /base/zelt/svc/assetbundle", json, bundle.asJson().toUtf8());
}

void tst_ZeltServiceApi::operations()
{
    QFETCH(QByteArray, operation);
    QFETCH(Invoke, invoke);
    QFETCH(QByteArray, requestLine);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    Clients clients{*m_service, *m_bundles};
    m_server->setReply(Reply::json("{}"));
    const auto done = answerOf(operation, [&] { return invoke(clients); });
    QVERIFY(done && done->succeededOnce());
    const RecordingHttpServer::Request request = m_server->requests().first();
    QCOMPARE(request.requestLine(), requestLine);
    QCOMPARE(request.header("Content-Type"), contentType);
    QCOMPARE(request.header("Authorization"), QByteArray("Bearer at"));
    QCOMPARE(request.body, body);

    const QByteArray error = R"({"code": 500, "message": "Storage offline", "source": "svc"})";
    m_server->setReply(Reply::json(error, 500));
    const auto failed = answerOf(operation, [&] { return invoke(clients); });
    QVERIFY(failed && failed->failedOnce());
    QCOMPARE(failed->errorType(), QNetworkReply::InternalServerError);
    QVERIFY(failed->errorText().endsWith(", " + error));
}

void tst_ZeltServiceApi::textAndNumberResults_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QVariant>("summary");

    QTest::newRow("banlistPost 42")
        << QByteArray("banlistPost") << Reply::text("42") << QVariant(qint32(42));
    QTest::newRow("banlistPost not a number")
        << QByteArray("banlistPost") << Reply::text("ok") << QVariant(qint32(0));
    QTest::newRow("banlistDelete without Content-Type")
        << QByteArray("banlistDelete") << Reply{200, {}, {}, "7", 0, true} << QVariant(qint32(0));
    QTest::newRow("banlistDelete 7")
        << QByteArray("banlistDelete") << Reply::text("7") << QVariant(qint32(7));
    QTest::newRow("serviceLogfile empty")
        << QByteArray("serviceLogfile") << Reply::text("") << QVariant(QString());
    QTest::newRow("meetingLogfile lines")
        << QByteArray("meetingLogfile") << Reply::text("a\nb \u00e9")
        << QVariant(QString("a\nb \u00e9"));
    QTest::newRow("assetBundlePost id")
        << QByteArray("assetBundlePost") << Reply::text("b-9") << QVariant(QString("b-9"));
    QTest::newRow("assetBundleDelete text")
        << QByteArray("assetBundleDelete") << Reply::json("\"gone\"")
        << QVariant(QString("\"gone\""));
}

void tst_ZeltServiceApi::textAndNumberResults()
{
    QFETCH(QByteArray, operation);
    QFETCH(Reply, reply);
    QFETCH(QVariant, summary);

    m_server->setReply(reply);
    QObject *client = m_service.get();
    if (operation == "banlistPost")
        m_service->banlistPost(ZeltBanlistEntry());
    else if (operation == "banlistDelete")
        m_service->banlistDelete(1);
    else if (operation == "serviceLogfile")
        m_service->serviceLogfile(10);
    else if (operation == "meetingLogfile")
        m_service->meetingLogfile("m1", 10);
    else if (operation == "assetBundlePost")
        m_bundles->assetBundlePost(ZeltAssetBundle()), client = m_bundles.get();
    else
        m_bundles->assetBundleDelete("b"), client = m_bundles.get();

    OperationProbe probe(client, operation);
    QVERIFY(probe.waitForAnswer());
    QCOMPARE(probe.signal().size(), 1);
    QCOMPARE(probe.signal().first().first(), summary);
    QCOMPARE(probe.signalFull().first().at(1), summary);
}

void tst_ZeltServiceApi::statusIgnoresTheBody()
{
    Reply html = Reply::text("<html>OK - Version v3.1.2</html>");
    html.headers = {{"Content-Type", "text/html"}};
    m_server->setReply(html);
    QSignalSpy up(m_service.get(), &ZeltMeetingServiceApi::serviceStatusSignal);
    m_service->serviceStatus();
    QVERIFY(up.wait(20000));

    m_server->setReply(Reply());
    m_service->serviceStatus();
    QVERIFY(up.wait(20000));
}

void tst_ZeltServiceApi::meetingInfoRoundTrip()
{
    m_server->setReply(Reply::json(meetingInfoJson));
    const QList<QVariant> answer =
        firstAnswer(*m_service, &ZeltMeetingServiceApi::meetingInfoSignal,
                    [this] { m_service->meetingInfo("m1"); });
    QVERIFY(!answer.isEmpty());
    const ZeltMeetingInfo info = answer.first().value<ZeltMeetingInfo>();

    QCOMPARE(info.licenseCountAttendees(), 25);
    const ZeltMirrorClientInfo client = info.clients().first();
    QCOMPARE(client.ip(), 2130706433);
    QVERIFY(client.voiceEnabled() && client.isVoiceIsTalkingSet() && !client.voiceIsTalking());
    QCOMPARE(client.credentials().user(), QStringLiteral("anna"));
    const ZeltAsset asset = info.assets().first();
    QCOMPARE(asset.stgSize(), Q_INT64_C(5000000000));
    QCOMPARE(asset.position().y(), 2.5f);
    QCOMPARE(asset.rotation().y(), 90.0f);
    QCOMPARE(asset.stgCredentials().pass(), QStringLiteral("s"));
    const ZeltAssetBundle bundle = info.assetBundles().first();
    QCOMPARE(bundle.stgSize(), (QList<qint64>{10, Q_INT64_C(6000000000)}));
    QCOMPARE(bundle.stgChecksums(), (QList<QString>{"c1", "c2"}));
    QCOMPARE(info.spawnPoints().first().rotation().y(), 180.0f);

    QCOMPARE(info.asJsonObject(), objectOf(meetingInfoJson));
    QCOMPARE(ZeltMeetingInfo(info.asJson()).asJsonObject(), objectOf(meetingInfoJson));
}

void tst_ZeltServiceApi::absentListsAndModelsStayUnwritten()
{
    const ZeltMeetingInfo info(QStringLiteral(R"({"meetingId": "m1", "clients": null})"));
    QVERIFY(info.clients().isEmpty());
    QVERIFY(!info.isClientsSet() && !info.isAssetsValid());
    QCOMPARE(info.asJsonObject(), QJsonObject({{"meetingId", "m1"}}));

    const ZeltAsset asset(QStringLiteral(R"({"Name": "a", "Position": {}, "Scale": {"w": 1}})"));
    QVERIFY(asset.isPositionValid());
    QVERIFY(!asset.position().isSet());
    QCOMPARE(asset.asJsonObject(), QJsonObject({{"Name", "a"}}));

    ZeltAsset placed;
    ZeltDefVector3 origin;
    origin.setX(0);
    placed.setPosition(origin);
    QCOMPARE(placed.asJsonObject(), QJsonObject({{"Position", QJsonObject{{"x", 0}}}}));
}

void tst_ZeltServiceApi::strictMemberTypes()
{
    const ZeltDefVector3 vector(QStringLiteral(R"({"x": "1.5", "y": 2, "z": null})"));
    QVERIFY(!vector.isXSet() && !vector.isXValid());
    QCOMPARE(vector.y(), 2.0f);
    QVERIFY(!vector.isZSet() && !vector.isZValid());
    QVERIFY(vector.isValid());

    const ZeltMirrorClientInfo client(
        QStringLiteral(R"({"voiceEnabled": 1, "Id": "7", "Alias": 5})"));
    QVERIFY(!client.isVoiceEnabledSet() && !client.isVoiceEnabledValid());
    QVERIFY(client.isIdSet());
    QCOMPARE(client.id(), 0); // a string gives 0 for an integer
    QCOMPARE(client.alias(), QStringLiteral("5"));

    const ZeltBanlistEntry entry(QStringLiteral(R"({"Id": 3.7, "Mode": true, "Filename": false})"));
    QCOMPARE(entry.id(), 0);
    QCOMPARE(entry.mode(), 0);
    QCOMPARE(entry.filename(), QStringLiteral("false"));
}

void tst_ZeltServiceApi::meetingLists()
{
    m_server->setReply(Reply::json("[" + meetingInfoJson +
                                   R"(, 3, {"meetingId": "m2", "clients": [{"Id": 1}, []]}])"));
    QList<QVariant> answer = firstAnswer(*m_service, &ZeltMeetingServiceApi::serviceMeetingsSignal,
                                         [this] { m_service->serviceMeetings(); });
    QVERIFY(!answer.isEmpty());
    const QList<ZeltMeetingInfo> infos = answer.first().value<QList<ZeltMeetingInfo>>();
    QCOMPARE(infos.size(), 3);
    QCOMPARE(infos.at(0).meetingId(), QStringLiteral("m1"));
    QVERIFY(!infos.at(1).isSet());
    QCOMPARE(infos.at(2).clients().size(), 2);
    QVERIFY(!infos.at(2).isClientsValid());

    m_server->setReply(
        Reply::json(R"([{"Id": 1, "Mode": 0, "Filename": "a.exe", "Checksum": "c"}])"));
    answer = firstAnswer(*m_service, &ZeltMeetingServiceApi::banlistGetSignal,
                         [this] { m_service->banlistGet(); });
    QVERIFY(!answer.isEmpty());
    const QList<ZeltBanlistEntry> banlist = answer.first().value<QList<ZeltBanlistEntry>>();
    QCOMPARE(banlist.size(), 1);
    QCOMPARE(banlist.first().checksum(), QStringLiteral("c"));
    QVERIFY(banlist.first().isModeSet());

    m_server->setReply(Reply::json(R"({"Id": "not a list"})"));
    answer = firstAnswer(*m_bundles, &ZeltAssetBundleApi::assetBundleGetSignal,
                         [this] { m_bundles->assetBundleGet("b1"); });
    QVERIFY(!answer.isEmpty());
    QVERIFY(answer.first().value<QList<ZeltAssetBundle>>().isEmpty());
}

void tst_ZeltServiceApi::commandResponse()
{
    m_server->setReply(Reply::json(R"({"command": "position", "meetingId": "m1", "sList": ["3"],
        "vList": [{"x": 1, "y": 2, "z": 3}, {"x": "bad"}]})"));
    const QList<QVariant> answer =
        firstAnswer(*m_service, &ZeltMeetingServiceApi::meetingCommandSignal,
                    [this] { m_service->meetingCommand("m1", ZeltMeetingCommand()); });
    QVERIFY(!answer.isEmpty());
    const ZeltMeetingCommandResponse response = answer.first().value<ZeltMeetingCommandResponse>();
    QCOMPARE(response.command(), QStringLiteral("position"));
    QCOMPARE(response.sList(), QList<QString>{"3"});
    QCOMPARE(response.vList().size(), 2);
    QCOMPARE(response.vList().first().z(), 3.0f);
    QVERIFY(!response.vList().at(1).isXValid());
    // A nested model converts whenever it is valid, and a vector has no required members.
    QVERIFY(response.isVListValid());

    ZeltMeetingCommand command;
    command.setCommand("mute");
    command.setParams({"3", "true"});
    QCOMPARE(command.asJsonObject(),
             QJsonObject({{"command", "mute"}, {"params", QJsonArray{"3", "true"}}}));
}

void tst_ZeltServiceApi::temporaryAccessKey()
{
    const QByteArray key = R"({"AccessKeyId": "AK", "SecretAccessKey": "SK", "SessionToken": "ST",
        "AssumedRoleId": "AR", "Arn": "arn:x", "Expiration": "2024-06-01T12:00:00Z",
        "Bucket": "b", "Endpoint": "http:\/\/127.0.0.1:9000"})";
    m_server->setReply(Reply::json(key));
    const QList<QVariant> answer =
        firstAnswer(*m_service, &ZeltMeetingServiceApi::s3TempAccessKeySignal,
                    [this] { m_service->s3TempAccessKey(); });
    QVERIFY(!answer.isEmpty());
    const ZeltS3TempAccessKey access = answer.first().value<ZeltS3TempAccessKey>();
    QCOMPARE(access.secretAccessKey(), QStringLiteral("SK"));
    QCOMPARE(access.endpoint(), QStringLiteral("http://127.0.0.1:9000"));
    QCOMPARE(access.asJsonObject(), objectOf(key));
}

void tst_ZeltServiceApi::versions()
{
    m_server->setReply(Reply::json(versionsJson));
    const QList<QVariant> answer =
        firstAnswer(*m_service, &ZeltMeetingServiceApi::serviceVersionsSignal,
                    [this] { m_service->serviceVersions(); });
    QVERIFY(!answer.isEmpty());
    const ZeltVersions versions = answer.first().value<ZeltVersions>();
    QCOMPARE(versions.console().version(), (QList<qint32>{3, 1, 2}));
    QCOMPARE(versions.console().updateUrl(), QStringLiteral("http://x/setup.exe"));
    QVERIFY(!versions.windowsDesktop().isUpdateUrlSet());
    QVERIFY(!versions.isIOSSet() && !versions.iOS().isSet());
    QVERIFY(!versions.asJsonObject().contains("iOS"));
    QCOMPARE(versions.asJsonObject(), objectOf(versionsJson));
}

QTEST_GUILESS_MAIN(tst_ZeltServiceApi)
#include "tst_zeltserviceapi.moc"
