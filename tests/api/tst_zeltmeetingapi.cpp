#include "OperationProbe.h"
#include "RecordingHttpServer.h"
#include "meeting/ZeltMeetingApi.h"

#include <QJsonDocument>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Zelt_MeetingService_API;
using Reply = RecordingHttpServer::Reply;
using Invoke = std::function<void(ZeltMeetingApi &)>;
Q_DECLARE_METATYPE(Invoke)

namespace {

const QByteArray json = "application/json";
const QByteArray fullMeeting = R"({"id": 12, "meetingId": "M-1", "title": "Weekly", "password": "h",
    "description": "d", "creatorId": "u1", "creator": "Anna", "created": "2024-03-01",
    "modified": "2024-03-02", "license": "endless", "status": "pending", "audioMode": 1,
    "audioMode3D": 2, "chatMode": 3, "presenter": {"name": "Anna", "email": "anna@x.org"}})";

ZeltMeeting statusOnly(const QString &status)
{
    ZeltMeeting meeting;
    meeting.setStatus(status);
    return meeting;
}

} // namespace

class tst_ZeltMeetingApi : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void operations_data();
    void operations();
    void meetingRoundTrip();
    void partialMeetingWritesOnlyItsFields();
    void invalidDateLeavesOthersAlone();
    void meetingLists_data();
    void meetingLists();

private:
    std::unique_ptr<RecordingHttpServer> m_server;
    std::unique_ptr<ZeltMeetingApi> m_api;
};

void tst_ZeltMeetingApi::init()
{
    m_server = std::make_unique<RecordingHttpServer>();
    QVERIFY(m_server->listen());
    m_api = std::make_unique<ZeltMeetingApi>(ServiceAddress::fromConfig(m_server->url(), "/ms"));
    m_api->addHeaders("Content-Type", "application/json");
    m_api->addHeaders("accept", "application/json");
    m_api->addHeaders("Authorization", "Bearer at");
}

void tst_ZeltMeetingApi::operations_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<Invoke>("invoke");
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");

    ZeltMeeting created;
    created.setTitle("Kick-off");
    created.setLicense("default");
    ZeltPresenter presenter;
    presenter.setName("Anna");
    created.setPresenter(presenter);

    QTest::newRow("create") << QByteArray("createMeeting")
                            << Invoke(
                                   [created](ZeltMeetingApi &api) { api.createMeeting(created); })
                            << QByteArray("POST /ms/meetings HTTP/1.1") << json
                            << created.asJson().toUtf8();
    QTest::newRow("delete") << QByteArray("deleteMeeting")
                            << Invoke([](ZeltMeetingApi &api) { api.deleteMeeting("m 1/x"); })
                            << QByteArray("DELETE /ms/meetings/m%201%2Fx HTTP/1.1")
                            << QByteArray("application/x-www-form-urlencoded") << QByteArray();
    QTest::newRow("list") << QByteArray("getMeetings")
                          << Invoke([](ZeltMeetingApi &api) { api.getMeetings(""); })
                          << QByteArray("GET /ms/meetings?creator= HTTP/1.1") << json
                          << QByteArray();
    QTest::newRow("update") << QByteArray("updateMeeting") << Invoke([](ZeltMeetingApi &api) {
        api.updateMeeting("M-1", statusOnly("active"));
    }) << QByteArray("PATCH /ms/meetings/M-1 HTTP/1.1")
                            << json << QByteArray("{\n    \"status\": \"active\"\n}\n");
}

void tst_ZeltMeetingApi::operations()
{
    QFETCH(QByteArray, operation);
    QFETCH(Invoke, invoke);
    QFETCH(QByteArray, requestLine);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    m_server->setReply(
        Reply::json(operation == "getMeetings" ? "[" + fullMeeting + "]" : fullMeeting));
    auto probe = answerOf(operation, [&] {
        invoke(*m_api);
        return m_api.get();
    });
    QVERIFY(probe && probe->succeededOnce());
    const RecordingHttpServer::Request request = m_server->requests().first();
    QCOMPARE(request.requestLine(), requestLine);
    QCOMPARE(request.header("Content-Type"), contentType);
    QCOMPARE(request.header("Authorization"), QByteArray("Bearer at"));
    QCOMPARE(request.header("accept"), json);
    QCOMPARE(request.body, body);

    const QByteArray error = R"({"code": 404, "message": "Meeting not found", "source": "ms"})";
    m_server->setReply(Reply::json(error, 404));
    probe = answerOf(operation, [&] {
        invoke(*m_api);
        return m_api.get();
    });
    QVERIFY(probe && probe->failedOnce());
    QCOMPARE(probe->errorType(), QNetworkReply::ContentNotFoundError);
    QVERIFY(probe->errorText().endsWith(", " + error));
}

void tst_ZeltMeetingApi::meetingRoundTrip()
{
    m_server->setReply(Reply::json(fullMeeting));
    QSignalSpy updated(m_api.get(), &ZeltMeetingApi::updateMeetingSignal);
    m_api->updateMeeting("M-1", statusOnly("pending"));
    QVERIFY(updated.wait(20000));
    const ZeltMeeting meeting = updated.first().first().value<ZeltMeeting>();

    QCOMPARE(meeting.id(), 12);
    QCOMPARE(meeting.meetingId(), QStringLiteral("M-1"));
    QCOMPARE(meeting.created(), QDate(2024, 3, 1));
    QCOMPARE(meeting.modified(), QDate(2024, 3, 2));
    QCOMPARE(meeting.license(), QStringLiteral("endless"));
    QCOMPARE(meeting.audioMode3D(), 2);
    QCOMPARE(meeting.presenter().email(), QStringLiteral("anna@x.org"));
    QVERIFY(meeting.isPresenterSet() && meeting.isValid());
    QCOMPARE(meeting.asJsonObject(), QJsonDocument::fromJson(fullMeeting).object());
    QCOMPARE(ZeltMeeting(meeting.asJson()).asJsonObject(), meeting.asJsonObject());
}

void tst_ZeltMeetingApi::partialMeetingWritesOnlyItsFields()
{
    QCOMPARE(statusOnly("active").asJsonObject(), QJsonObject({{"status", "active"}}));
    ZeltMeeting meeting;
    meeting.setPresenter(ZeltPresenter());
    meeting.setChatMode(0);
    // An empty presenter is not set, so it stays out.
    QCOMPARE(meeting.asJsonObject(), QJsonObject({{"chatMode", 0}}));
    QVERIFY(!ZeltMeeting().isSet());
}

void tst_ZeltMeetingApi::invalidDateLeavesOthersAlone()
{
    const ZeltMeeting meeting(
        QString::fromUtf8(QByteArray(fullMeeting).replace("2024-03-01", "2024-13-01")));
    QVERIFY(!meeting.isCreatedSet() && !meeting.isCreatedValid());
    QVERIFY(meeting.isModifiedValid());
    QCOMPARE(meeting.title(), QStringLiteral("Weekly"));
    QVERIFY(!meeting.asJsonObject().contains("created"));
    QVERIFY(meeting.isValid()); // no required fields
}

void tst_ZeltMeetingApi::meetingLists_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("meetingIds");

    QTest::newRow("empty array") << QByteArray("[]") << QStringList();
    QTest::newRow("two meetings") << QByteArray(R"([{"meetingId": "a"}, {"meetingId": "b"}])")
                                  << QStringList{"a", "b"};
    QTest::newRow("non-object element")
        << QByteArray(R"([{"meetingId": "a"}, "x", null])") << QStringList{"a", "", ""};
    QTest::newRow("not an array") << QByteArray(R"({"meetingId": "a"})") << QStringList();
    QTest::newRow("not JSON") << QByteArray("<html>") << QStringList();
}

void tst_ZeltMeetingApi::meetingLists()
{
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, meetingIds);

    m_server->setReply(Reply::json(reply));
    QSignalSpy listed(m_api.get(), &ZeltMeetingApi::getMeetingsSignal);
    m_api->getMeetings("u1");
    QVERIFY(listed.wait(20000));
    QStringList ids;
    const QList<ZeltMeeting> meetings = listed.first().first().value<QList<ZeltMeeting>>();
    for (const ZeltMeeting &meeting : meetings)
        ids << meeting.meetingId();
    QCOMPARE(ids, meetingIds);
}

QTEST_GUILESS_MAIN(tst_ZeltMeetingApi)
#include "tst_zeltmeetingapi.moc"
