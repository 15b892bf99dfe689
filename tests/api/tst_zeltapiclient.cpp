#include "RecordingHttpServer.h"
#include "ServiceAddress.h"
#include "ZeltApiClient.h"
#include "ZeltModel.h"

#include <QDir>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Zelt_Common_API;
using Reply = RecordingHttpServer::Reply;

namespace {

// clang-format off
#define THING_FIELDS(FIELD) \
    FIELD(QString, id, Id, "id", Required) \
    FIELD(qint32, rank, Rank, "rank", Optional)
// clang-format on
class Thing : public ZeltModel<Thing>
{
    ZELT_MODEL(Thing, THING_FIELDS)
};

// Holds the requests for /things/held...; answers the others at once with the body.
RecordingHttpServer::Handler holdingThingsNamedHeld(const QByteArray &body)
{
    return [body](const RecordingHttpServer::Request &request) {
        Reply reply = Reply::json(body);
        reply.answer = !request.target.startsWith("/things/held");
        return reply;
    };
}

} // namespace

// A client on the frame, with one operation of each result kind.
class ProbeApi : public ZeltApiClient
{
    Q_OBJECT

public:
    using ZeltApiClient::call;
    using ZeltApiClient::ZeltApiClient;

    void getThing(const QString &id, const QString &filter, qint32 limit)
    {
        send(call("GET", "/things/{id}")
                 .path("id", id)
                 .query("filter", filter)
                 .query("limit", limit),
             ZELT_OPERATION_SIGNALS(ProbeApi, getThing));
    }
    void listThings()
    {
        send(call("GET", "/things"), ZELT_OPERATION_SIGNALS(ProbeApi, listThings));
    }
    void putThing(const QString &id, const Thing &thing)
    {
        send(call("PUT", "/things/{id}").path("id", id).body(thing),
             ZELT_OPERATION_SIGNALS(ProbeApi, putThing));
    }

signals:
    void getThingSignal(Thing summary);
    void getThingSignalFull(ZeltHttpRequestWorker *worker, Thing summary);
    void getThingSignalE(Thing summary, QNetworkReply::NetworkError error_type, QString error_str);
    void getThingSignalEFull(ZeltHttpRequestWorker *worker, QNetworkReply::NetworkError error_type,
                             QString error_str);
    void listThingsSignal(QList<Thing> summary);
    void listThingsSignalFull(ZeltHttpRequestWorker *worker, QList<Thing> summary);
    void listThingsSignalE(QList<Thing> summary, QNetworkReply::NetworkError error_type,
                           QString error_str);
    void listThingsSignalEFull(ZeltHttpRequestWorker *worker,
                               QNetworkReply::NetworkError error_type, QString error_str);
    void putThingSignal();
    void putThingSignalFull(ZeltHttpRequestWorker *worker);
    void putThingSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void putThingSignalEFull(ZeltHttpRequestWorker *worker, QNetworkReply::NetworkError error_type,
                             QString error_str);
};

class tst_ZeltApiClient : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void urlAssembly_data();
    void urlAssembly();
    void encodedPathAndQueryReachThePeer();
    void addressFromConfiguration();
    void defaultHeadersAreCopiedAtCallTime();
    void successSignals();
    void failureSignalsJoinErrorText();
    void refusedConnection();
    void listResults();
    void operationWithoutResult();
    void requestsInFlightAnswerInCompletionOrder();
    void abortSilencesRequestsInFlight();
    void timeOut();
    void attachmentsGoToTheWorkingDirectory();

private:
    std::unique_ptr<ProbeApi> client(const QString &basePath = QString());

    std::unique_ptr<RecordingHttpServer> m_server;
};

void tst_ZeltApiClient::init()
{
    m_server = std::make_unique<RecordingHttpServer>();
    QVERIFY(m_server->listen());
}

std::unique_ptr<ProbeApi> tst_ZeltApiClient::client(const QString &basePath)
{
    return std::make_unique<ProbeApi>("http", "127.0.0.1", m_server->port(), basePath, 0);
}

void tst_ZeltApiClient::urlAssembly_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("basePath");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("url");

    QTest::newRow("no port") << 0 << ""
                             << "a"
                             << "f"
                             << "https://h.example/things/a?filter=f&limit=7";
    QTest::newRow("port 8443 and base path")
        << 8443 << "/api/v1"
        << "a"
        << "f"
        << "https://h.example:8443/api/v1/things/a?filter=f&limit=7";
    QTest::newRow("slash, blank, unicode")
        << 0 << ""
        << "a/b c\u00e9"
        << "x&y=z \u20ac"
        << "https://h.example/things/a%2Fb%20c%C3%A9?filter=x%26y%3Dz%20%E2%82%AC&limit=7";
    QTest::newRow("unreserved stay") << 0 << ""
                                     << "A-z_0.9~"
                                     << ""
                                     << "https://h.example/things/A-z_0.9~?filter=&limit=7";
    QTest::newRow("base path with a query") << 0 << "/q?k=1"
                                            << "a"
                                            << ""
                                            << "https://h.example/q?k=1/things/a&filter=&limit=7";
}

void tst_ZeltApiClient::urlAssembly()
{
    QFETCH(int, port);
    QFETCH(QString, basePath);
    QFETCH(QString, id);
    QFETCH(QString, filter);
    QFETCH(QString, url);

    ProbeApi api("https", "h.example", port, basePath, 0);
    const ZeltApiCall call =
        api.call("GET", "/things/{id}").path("id", id).query("filter", filter).query("limit", 7);
    QCOMPARE(call.input().url_str, url);
    QCOMPARE(call.input().http_method, QStringLiteral("GET"));
}

void tst_ZeltApiClient::encodedPathAndQueryReachThePeer()
{
    const auto api = client("/base");
    QSignalSpy done(api.get(), &ProbeApi::getThingSignal);
    api->getThing(QStringLiteral("a/b c\u00e9"), QStringLiteral("1+1=2?"), -3);
    QVERIFY(done.wait(20000));
    QCOMPARE(m_server->requests().first().requestLine(),
             QByteArray("GET /base/things/a%2Fb%20c%C3%A9?filter=1%2B1%3D2%3F&limit=-3 HTTP/1.1"));
}

void tst_ZeltApiClient::addressFromConfiguration()
{
    ProbeApi api(ServiceAddress::fromConfig(m_server->url() + "/root", "/svc"));
    QSignalSpy done(&api, &ProbeApi::listThingsSignal);
    api.listThings();
    QVERIFY(done.wait(20000));
    QCOMPARE(m_server->requests().first().requestLine(),
             QByteArray("GET /root/svc/things HTTP/1.1"));
}

void tst_ZeltApiClient::defaultHeadersAreCopiedAtCallTime()
{
    const auto api = client();
    api->addHeaders("Authorization", "Bearer first");
    api->addHeaders("accept", "application/json");
    api->addHeaders("Content-Type", "application/json");
    QSignalSpy done(api.get(), &ProbeApi::listThingsSignal);
    api->listThings();
    api->addHeaders("Authorization", "Bearer second");
    api->listThings();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 20000);

    QSet<QByteArray> tokens;
    for (const RecordingHttpServer::Request &request : m_server->requests()) {
        tokens.insert(request.header("Authorization"));
        QCOMPARE(request.header("accept"), QByteArray("application/json"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(request.header("User-Agent"), QByteArray("OpenAPI-Generator/1.0.0/cpp-qt5"));
    }
    QCOMPARE(tokens, (QSet<QByteArray>{"Bearer first", "Bearer second"}));
    QCOMPARE(api->defaultHeaders.value("Authorization"), QStringLiteral("Bearer second"));
}

void tst_ZeltApiClient::successSignals()
{
    m_server->setReply(Reply::json(R"({"id": "t1", "rank": 4})"));
    const auto api = client();
    QStringList order;
    QPointer<ZeltHttpRequestWorker> fullWorker;
    Thing plain;
    Thing full;
    connect(api.get(), &ProbeApi::getThingSignal, this, [&](Thing summary) {
        order << "Signal";
        plain = summary;
    });
    connect(api.get(), &ProbeApi::getThingSignalFull, this,
            [&](ZeltHttpRequestWorker *worker, Thing summary) {
                order << "SignalFull";
                full = summary;
                fullWorker = worker;
                QCOMPARE(worker->response, QByteArray(R"({"id": "t1", "rank": 4})"));
            });
    QSignalSpy failed(api.get(), &ProbeApi::getThingSignalE);
    api->getThing("t1", "", 1);
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 2, 20000);

    QCOMPARE(order, (QStringList{"Signal", "SignalFull"}));
    QCOMPARE(plain.id(), QStringLiteral("t1"));
    QCOMPARE(full.rank(), 4);
    QVERIFY(full.isValid());
    QCOMPARE(failed.size(), 0);
    // The worker lives for its one request only.
    QTRY_VERIFY(fullWorker.isNull());
}

void tst_ZeltApiClient::failureSignalsJoinErrorText()
{
    const QByteArray body =
        R"({"code": 401, "message": "token expired", "source": "auth", "id": "x"})";
    m_server->setReply(Reply::json(body, 401));
    const auto api = client();
    QSignalSpy failed(api.get(), &ProbeApi::getThingSignalE);
    QSignalSpy failedFull(api.get(), &ProbeApi::getThingSignalEFull);
    QSignalSpy done(api.get(), &ProbeApi::getThingSignal);
    QString workerError;
    connect(api.get(), &ProbeApi::getThingSignalEFull, this,
            [&](ZeltHttpRequestWorker *worker) { workerError = worker->error_str; });
    api->getThing("t1", "", 1);
    QTRY_COMPARE_WITH_TIMEOUT(failedFull.size(), 1, 20000);

    QCOMPARE(failed.size(), 1);
    QCOMPARE(done.size(), 0);
    QVERIFY(!workerError.isEmpty());
    const QString joined = workerError + ", " + QString::fromUtf8(body);
    QCOMPARE(failed.first().at(1).value<QNetworkReply::NetworkError>(),
             QNetworkReply::AuthenticationRequiredError);
    QCOMPARE(failed.first().at(2).toString(), joined);
    QCOMPARE(failedFull.first().at(2).toString(), joined);
    // The result is built from the error body too.
    QCOMPARE(failed.first().at(0).value<Thing>().id(), QStringLiteral("x"));
}

void tst_ZeltApiClient::refusedConnection()
{
    const quint16 closedPort = m_server->port();
    m_server.reset();
    ProbeApi api("http", "127.0.0.1", closedPort, "", 0);
    QSignalSpy failed(&api, &ProbeApi::listThingsSignalE);
    api.listThings();
    QVERIFY(failed.wait(20000));
    QCOMPARE(failed.first().at(1).value<QNetworkReply::NetworkError>(),
             QNetworkReply::ConnectionRefusedError);
    QVERIFY(failed.first().at(2).toString().endsWith(", "));
    QVERIFY(failed.first().at(0).value<QList<Thing>>().isEmpty());
}

void tst_ZeltApiClient::listResults()
{
    const auto api = client();
    QSignalSpy done(api.get(), &ProbeApi::listThingsSignal);

    m_server->setReply(Reply::json(R"([{"id": "a"}, 5, {"rank": 2}])"));
    api->listThings();
    QVERIFY(done.wait(20000));
    const QList<Thing> things = done.takeFirst().first().value<QList<Thing>>();
    QCOMPARE(things.size(), 3);
    QCOMPARE(things.at(0).id(), QStringLiteral("a"));
    QVERIFY(!things.at(1).isSet()); // not an object: an empty element
    QVERIFY(!things.at(2).isValid());

    for (const QByteArray &body : {QByteArray("[]"), QByteArray(R"({"id": "a"})"), QByteArray()}) {
        m_server->setReply(Reply::json(body));
        api->listThings();
        QVERIFY(done.wait(20000));
        QVERIFY(done.takeFirst().first().value<QList<Thing>>().isEmpty());
    }
}

void tst_ZeltApiClient::operationWithoutResult()
{
    const auto api = client();
    Thing thing;
    thing.setId("t/1");
    QSignalSpy done(api.get(), &ProbeApi::putThingSignal);
    QSignalSpy doneFull(api.get(), &ProbeApi::putThingSignalFull);
    api->putThing("t/1", thing);
    QTRY_COMPARE_WITH_TIMEOUT(doneFull.size(), 1, 20000);
    QCOMPARE(done.size(), 1);
    const RecordingHttpServer::Request request = m_server->requests().first();
    QCOMPARE(request.requestLine(), QByteArray("PUT /things/t%2F1 HTTP/1.1"));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(request.body, thing.asJson().toUtf8());

    m_server->setReply(Reply::json("{}", 500));
    QSignalSpy failed(api.get(), &ProbeApi::putThingSignalE);
    QSignalSpy failedFull(api.get(), &ProbeApi::putThingSignalEFull);
    api->putThing("t", thing);
    QTRY_COMPARE_WITH_TIMEOUT(failedFull.size(), 1, 20000);
    QCOMPARE(failed.size(), 1);
    QVERIFY(failed.first().at(1).toString().endsWith(", {}"));
    QCOMPARE(done.size(), 1);
}

void tst_ZeltApiClient::requestsInFlightAnswerInCompletionOrder()
{
    // The first request is held; the second is answered at once.
    m_server->setHandler(holdingThingsNamedHeld(R"({"id": "quick"})"));
    const auto api = client();
    QList<QPair<ZeltHttpRequestWorker *, QString>> answers;
    connect(api.get(), &ProbeApi::getThingSignalFull, this,
            [&](ZeltHttpRequestWorker *worker, Thing summary) {
                answers.append({worker, summary.id()});
            });
    api->getThing("held", "", 0);
    api->getThing("quick", "", 0);
    const QList<ZeltHttpRequestWorker *> workers = api->findChildren<ZeltHttpRequestWorker *>();
    QCOMPARE(workers.size(), 2);

    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 20000);
    QCOMPARE(answers.first().second, QStringLiteral("quick"));
    m_server->answerHeld(Reply::json(R"({"id": "held"})"));
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 2, 20000);
    QCOMPARE(answers.at(1).second, QStringLiteral("held"));
    QVERIFY(answers.at(0).first != answers.at(1).first);
    QVERIFY(workers.contains(answers.at(0).first) && workers.contains(answers.at(1).first));
}

void tst_ZeltApiClient::abortSilencesRequestsInFlight()
{
    m_server->setHandler(holdingThingsNamedHeld(R"({"id": "x"})"));
    const auto api = client();
    QSignalSpy done(api.get(), &ProbeApi::getThingSignal);
    QSignalSpy failed(api.get(), &ProbeApi::getThingSignalE);
    api->getThing("held", "", 0);
    api->getThing("held", "", 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_server->requests().size(), 2, 20000);
    QList<QPointer<ZeltHttpRequestWorker>> workers;
    for (ZeltHttpRequestWorker *worker : api->findChildren<ZeltHttpRequestWorker *>())
        workers.append(worker);
    QCOMPARE(workers.size(), 2);

    emit api->abortRequestsSignal();
    m_server->answerHeld(Reply::json(R"({"id": "late"})"));
    QTRY_VERIFY(workers.at(0).isNull() && workers.at(1).isNull());

    // A request made after the abort still works; the aborted ones never answer.
    api->getThing("fresh", "", 2);
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);
    QCOMPARE(done.first().first().value<Thing>().id(), QStringLiteral("x"));
    QCOMPARE(failed.size(), 0);
}

void tst_ZeltApiClient::timeOut()
{
    Reply silent;
    silent.answer = false;
    m_server->setReply(silent);
    const auto api = client();
    api->setTimeOut(100);
    QSignalSpy failed(api.get(), &ProbeApi::listThingsSignalE);
    api->listThings();
    QVERIFY(failed.wait(20000));
    QCOMPARE(failed.first().at(1).value<QNetworkReply::NetworkError>(),
             QNetworkReply::TimeoutError);
    QCOMPARE(failed.first().at(2).toString(), QStringLiteral("Timed out waiting for response, "));
}

void tst_ZeltApiClient::attachmentsGoToTheWorkingDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Reply reply;
    reply.headers = {{"Content-Disposition", "attachment; filename=things.csv"}};
    reply.body = "a,b\n";
    m_server->setReply(reply);
    const auto api = client();
    api->setWorkingDirectory(dir.path());
    QSignalSpy done(api.get(), &ProbeApi::listThingsSignal);
    api->listThings();
    QVERIFY(done.wait(20000));
    QFile saved(dir.filePath("things.csv"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("a,b\n"));
}

QTEST_GUILESS_MAIN(tst_ZeltApiClient)
#include "tst_zeltapiclient.moc"
