#include "RecordingHttpServer.h"
#include "ZeltHttpEncoding.h"
#include "ZeltHttpRequestWorker.h"
#include "ZeltRequestPool.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

using namespace Zelt_Common_API;
using Reply = RecordingHttpServer::Reply;
using Headers = RecordingHttpServer::HeaderList;

Q_DECLARE_METATYPE(ZeltHttpRequestVarLayout)

class tst_ZeltHttpRequestWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void requestLayouts_data();
    void requestLayouts();
    void fixedAndInputHeaders();
    void multipartBody();
    void encodedAttribute_data();
    void encodedAttribute();

    void replyBody_data();
    void replyBody();
    void attachments_data();
    void attachments();
    void errorReplyKeepsBody();
    void timeOutWhenNoAnswer();
    void stalledRequestsTimeOut_data();
    void stalledRequestsTimeOut();
    void answerBeforeTimeOut();
    void saveToFileReplacesAndReportsFailure();

private:
    // Runs one request to completion; null when it never finished.
    std::unique_ptr<ZeltHttpRequestWorker> run(ZeltHttpRequestInput &input, int timeOutMs = 0,
                                               const QString &workingDirectory = QString());

    std::unique_ptr<RecordingHttpServer> m_server;
};

void tst_ZeltHttpRequestWorker::init()
{
    m_server = std::make_unique<RecordingHttpServer>();
    QVERIFY(m_server->listen());
}

std::unique_ptr<ZeltHttpRequestWorker>
tst_ZeltHttpRequestWorker::run(ZeltHttpRequestInput &input, int timeOutMs,
                               const QString &workingDirectory)
{
    auto worker = std::make_unique<ZeltHttpRequestWorker>();
    worker->setTimeOut(timeOutMs);
    worker->setWorkingDirectory(workingDirectory);
    QSignalSpy finished(worker.get(), &ZeltHttpRequestWorker::on_execution_finished);
    worker->execute(&input);
    if (!finished.wait(20000) ||
        finished.first().first().value<ZeltHttpRequestWorker *>() != worker.get())
        return nullptr;
    return worker;
}

void tst_ZeltHttpRequestWorker::requestLayouts_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("vars"); // name, value, name, value, ...
    QTest::addColumn<QByteArray>("rawBody");
    QTest::addColumn<QString>("inputContentType");
    QTest::addColumn<ZeltHttpRequestVarLayout>("layout");
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<QByteArray>("contentType"); // "-" for none
    QTest::addColumn<QByteArray>("body");

    const QByteArray form = "application/x-www-form-urlencoded";
    const QStringList login = {"username", "u\u00e9", "password",    "p&w=1",
                               "client",   "c",       "passwordold", "o"};
    const QByteArray loginBody = "client=c&password=p%26w%3D1&passwordold=o&username=u%C3%A9";

    QTest::newRow("GET vars go to the query")
        << "GET"
        << "/p" << QStringList{"b", "x y", "a", "1"} << QByteArray() << QString() << ADDRESS
        << QByteArray("GET /p?a=1&b=x%20y HTTP/1.1") << QByteArray("-") << QByteArray();
    QTest::newRow("GET vars after an existing query")
        << "GET"
        << "/p?q=1" << QStringList{"a", "1"} << QByteArray() << QString() << ADDRESS
        << QByteArray("GET /p?q=1&a=1 HTTP/1.1") << QByteArray("-") << QByteArray();
    QTest::newRow("HEAD") << "HEAD"
                          << "/h" << QStringList() << QByteArray() << QString() << ADDRESS
                          << QByteArray("HEAD /h HTTP/1.1") << QByteArray("-") << QByteArray();
    QTest::newRow("POST form pairs in name order")
        << "POST"
        << "/auth/login" << login << QByteArray() << QString() << URL_ENCODED
        << QByteArray("POST /auth/login HTTP/1.1") << form << loginBody;
    QTest::newRow("PUT form") << "PUT"
                              << "/p" << QStringList{"k", "v"} << QByteArray() << QString()
                              << URL_ENCODED << QByteArray("PUT /p HTTP/1.1") << form
                              << QByteArray("k=v");
    QTest::newRow("custom verb with form")
        << "PATCH"
        << "/auth/user/7/pwdreset" << login << QByteArray() << QString() << URL_ENCODED
        << QByteArray("PATCH /auth/user/7/pwdreset HTTP/1.1") << form << loginBody;
    QTest::newRow("DELETE without anything is still a form")
        << "DELETE"
        << "/meetings/m1" << QStringList() << QByteArray() << QString() << URL_ENCODED
        << QByteArray("DELETE /meetings/m1 HTTP/1.1") << form << QByteArray();
    QTest::newRow("POST raw body is JSON")
        << "POST"
        << "/meetings" << QStringList() << QByteArray("{\"a\":1}") << QString() << URL_ENCODED
        << QByteArray("POST /meetings HTTP/1.1") << QByteArray("application/json")
        << QByteArray("{\"a\":1}");
    QTest::newRow("raw body keeps the input's Content-Type")
        << "POST"
        << "/p" << QStringList() << QByteArray("text") << "text/plain" << URL_ENCODED
        << QByteArray("POST /p HTTP/1.1") << QByteArray("text/plain") << QByteArray("text");
    QTest::newRow("custom verb with raw body")
        << "PATCH"
        << "/meetings/m1" << QStringList() << QByteArray("{}") << QString() << URL_ENCODED
        << QByteArray("PATCH /meetings/m1 HTTP/1.1") << QByteArray("application/json")
        << QByteArray("{}");
    QTest::newRow("raw body replaces the form")
        << "POST"
        << "/p" << QStringList{"a", "1"} << QByteArray("{}") << QString() << URL_ENCODED
        << QByteArray("POST /p HTTP/1.1") << QByteArray("application/json") << QByteArray("{}");
}

void tst_ZeltHttpRequestWorker::requestLayouts()
{
    QFETCH(QString, method);
    QFETCH(QString, path);
    QFETCH(QStringList, vars);
    QFETCH(QByteArray, rawBody);
    QFETCH(QString, inputContentType);
    QFETCH(ZeltHttpRequestVarLayout, layout);
    QFETCH(QByteArray, requestLine);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    ZeltHttpRequestInput input(m_server->url() + path, method);
    for (qsizetype i = 0; i + 1 < vars.size(); i += 2)
        input.add_var(vars.at(i), vars.at(i + 1));
    input.request_body = rawBody;
    if (!inputContentType.isEmpty())
        input.headers.insert(QStringLiteral("Content-Type"), inputContentType);

    QVERIFY(run(input));
    QCOMPARE(input.var_layout, layout);
    QCOMPARE(m_server->requests().size(), 1);
    const RecordingHttpServer::Request request = m_server->requests().first();
    QCOMPARE(request.requestLine(), requestLine);
    if (contentType == "-")
        QVERIFY(!request.hasHeader("Content-Type"));
    else
        QCOMPARE(request.header("Content-Type"), contentType);
    QCOMPARE(request.body, body);
}

void tst_ZeltHttpRequestWorker::fixedAndInputHeaders()
{
    ZeltHttpRequestInput input(m_server->url() + "/p", QStringLiteral("GET"));
    input.headers.insert(QStringLiteral("Zeta"), QStringLiteral("last"));
    input.headers.insert(QStringLiteral("Authorization"), QStringLiteral("Bearer t\u00f6k"));
    input.headers.insert(QStringLiteral("Accept-Encoding"), QStringLiteral("gzip"));
    input.headers.insert(QStringLiteral("accept"), QStringLiteral("application/json"));
    QVERIFY(run(input));

    const RecordingHttpServer::Request request = m_server->requests().first();
    QCOMPARE(request.header("User-Agent"), QByteArray("OpenAPI-Generator/1.0.0/cpp-qt5"));
    QCOMPARE(request.header("Accept-Encoding"), QByteArray("identity"));
    QCOMPARE(request.header("Authorization"), QString("Bearer t\u00f6k").toUtf8());
    QCOMPARE(request.header("accept"), QByteArray("application/json"));
    QCOMPARE(request.header("Zeta"), QByteArray("last"));

    // User-Agent first, then the input's headers in ascending name order.
    QByteArrayList names;
    for (const auto &header : request.headers)
        names.append(header.first);
    const qsizetype agent = names.indexOf("User-Agent");
    const qsizetype authorization = names.indexOf("Authorization");
    const qsizetype accept = names.indexOf("accept");
    const qsizetype zeta = names.indexOf("Zeta");
    QVERIFY(agent >= 0 && agent < authorization);
    QVERIFY(authorization < zeta);
    QVERIFY(zeta < accept); // "Z" sorts before "a"
}

void tst_ZeltHttpRequestWorker::multipartBody()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString report = dir.filePath("report.txt");
    const QString data = dir.filePath("data.bin");
    {
        QFile file(report);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("line 1\r\nline 2");
    }
    {
        QFile file(data);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x00\x01\xff", 3));
    }

    ZeltHttpRequestInput input(m_server->url() + "/upload", QStringLiteral("POST"));
    input.add_var(QStringLiteral("title"), QStringLiteral("R\u00e9sum\u00e9"));
    input.add_var(QStringLiteral("a"), QStringLiteral("first"));
    input.add_file(QStringLiteral("doc"), report, QStringLiteral("my \"report\".txt"),
                   QStringLiteral("text/plain"));
    input.add_file(QStringLiteral("missing"), dir.filePath("nothere"), QString(), QString());
    input.add_file(QString(), report, QString(), QString());
    input.add_file(QStringLiteral("folder"), dir.path(), QString(), QString());
    input.add_file(QStringLiteral("blob"), data, QString(), QString());
    QVERIFY(run(input));

    QCOMPARE(input.var_layout, MULTIPART);
    QCOMPARE(input.files.at(4).request_filename, QStringLiteral("data.bin"));
    const RecordingHttpServer::Request request = m_server->requests().first();
    const QByteArray contentType = request.header("Content-Type");
    QVERIFY(contentType.startsWith("multipart/form-data; boundary=__-----------------------"));
    const QByteArray boundary = contentType.mid(contentType.indexOf('=') + 1);

    const QByteArray expected =
        "--" + boundary + "\r\n" +
        "Content-Disposition: form-data; name=\"a\"\r\n"
        "Content-Type: text/plain\r\n\r\n"
        "first\r\n"
        "--" +
        boundary + "\r\n" +
        "Content-Disposition: form-data; name=\"title\"\r\n"
        "Content-Type: text/plain\r\n\r\n" +
        QString("R\u00e9sum\u00e9").toUtf8() +
        "\r\n"
        "--" +
        boundary + "\r\n" +
        "Content-Disposition: form-data; name=\"doc\"; filename=\"my \\\"report\\\".txt\"\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Transfer-Encoding: binary\r\n\r\n"
        "line 1\r\nline 2\r\n"
        "--" +
        boundary + "\r\n" +
        "Content-Disposition: form-data; name=\"blob\"; filename=\"data.bin\"\r\n"
        "Content-Transfer-Encoding: binary\r\n\r\n" +
        QByteArray("\x00\x01\xff", 3) +
        "\r\n"
        "--" +
        boundary + "--";
    QCOMPARE(request.body, expected);
}

void tst_ZeltHttpRequestWorker::encodedAttribute_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("plain") << "report.txt" << QByteArray("filename=\"report.txt\"");
    QTest::newRow("blank stays plain") << "a b.txt" << QByteArray("filename=\"a b.txt\"");
    QTest::newRow("quote is escaped") << "a\"b" << QByteArray("filename=\"a\\\"b\"");
    QTest::newRow("slash") << "a/b" << QByteArray("filename=\"ab\"; filename*=utf-8''a%2Fb");
    QTest::newRow("backslash and blank")
        << "a\\b c" << QByteArray("filename=\"ab c\"; filename*=utf-8''a%5Cb%20c");
    QTest::newRow("empty") << "" << QByteArray("filename=\"\"; filename*=utf-8''");
    QTest::newRow("non-ASCII") << "\u00e9t\u00e9"
                               << QByteArray("filename=\"t\"; filename*=utf-8''%C3%A9t%C3%A9");
    QTest::newRow("control byte") << "a\tb"
                                  << QByteArray("filename=\"ab\"; filename*=utf-8''a%09b");
}

void tst_ZeltHttpRequestWorker::encodedAttribute()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, encoded);
    QCOMPARE(zeltEncodedAttribute(QStringLiteral("filename"), value), encoded);
}

void tst_ZeltHttpRequestWorker::replyBody_data()
{
    QTest::addColumn<Headers>("headers");
    QTest::addColumn<bool>("kept");

    QTest::newRow("JSON") << Headers{{"Content-Type", "application/json"}} << true;
    QTest::newRow("no Content-Type") << Headers{} << false;
    QTest::newRow("lower-case header name") << Headers{{"content-type", "text/plain"}} << true;
    QTest::newRow("multipart reply")
        << Headers{{"Content-Type", "multipart/form-data; boundary=x"}} << false;
    QTest::newRow("identity") << Headers{{"Content-Type", "text/plain"},
                                         {"Content-Encoding", "identity"}}
                              << true;
    QTest::newRow("IDENTITY") << Headers{{"Content-Type", "text/plain"},
                                         {"content-encoding", "IDENTITY"}}
                              << true;
    QTest::newRow("gzip") << Headers{{"Content-Type", "text/plain"}, {"Content-Encoding", "gzip"}}
                          << false;
    QTest::newRow("deflate") << Headers{{"Content-Type", "text/plain"},
                                        {"Content-Encoding", "deflate"}}
                             << false;
    QTest::newRow("identity with gzip")
        << Headers{{"Content-Type", "text/plain"}, {"Content-Encoding", "identity, gzip"}} << false;
    QTest::newRow("unknown coding")
        << Headers{{"Content-Type", "text/plain"}, {"Content-Encoding", "br"}} << false;
}

void tst_ZeltHttpRequestWorker::replyBody()
{
    QFETCH(Headers, headers);
    QFETCH(bool, kept);
    Reply reply;
    reply.headers = headers;
    reply.body = "{\"ok\":true}";
    m_server->setReply(reply);

    ZeltHttpRequestInput input(m_server->url() + "/r", QStringLiteral("GET"));
    const auto worker = run(input);
    QVERIFY(worker);
    QCOMPARE(worker->error_type, QNetworkReply::NoError);
    QCOMPARE(worker->response, kept ? reply.body : QByteArray());
    for (const auto &header : headers)
        QCOMPARE(worker->responseHeaders().value(QString::fromLatin1(header.first)),
                 QString::fromLatin1(header.second));
}

void tst_ZeltHttpRequestWorker::attachments_data()
{
    QTest::addColumn<QByteArray>("disposition");
    QTest::addColumn<QString>("fileName"); // "{uuid}" for a generated name, empty for none

    QTest::newRow("plain name") << QByteArray("attachment; filename=x.bin") << "x.bin";
    QTest::newRow("quoted name") << QByteArray("attachment; filename=\"quoted.bin\"")
                                 << "quoted.bin";
    QTest::newRow("path is cut") << QByteArray("attachment; filename=../../evil.txt") << "evil.txt";
    QTest::newRow("backslash path is cut")
        << QByteArray("attachment; filename=..\\..\\evil.txt") << "evil.txt";
    QTest::newRow("absolute path is cut")
        << QByteArray("attachment; filename=\"/etc/passwd\"") << "passwd";
    QTest::newRow("dot-dot") << QByteArray("attachment; filename=..") << "{uuid}";
    QTest::newRow("empty name") << QByteArray("attachment; filename=") << "{uuid}";
    QTest::newRow("no name") << QByteArray("attachment") << "{uuid}";
    QTest::newRow("inline is not saved") << QByteArray("inline; filename=x.bin") << QString();
}

void tst_ZeltHttpRequestWorker::attachments()
{
    QFETCH(QByteArray, disposition);
    QFETCH(QString, fileName);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString work = root.filePath("work");
    QVERIFY(QDir().mkpath(work));
    Reply reply;
    reply.headers = {{"Content-Type", "application/octet-stream; x=1"},
                     {"Content-Disposition", disposition}};
    reply.body = QByteArray("\x00payload", 8);
    m_server->setReply(reply);

    ZeltHttpRequestInput input(m_server->url() + "/download", QStringLiteral("GET"));
    const auto worker = run(input, 0, work);
    QVERIFY(worker);
    QVERIFY(worker->response.isEmpty());
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"work"});

    const QStringList saved = QDir(work).entryList(QDir::Files);
    if (fileName.isEmpty()) {
        QVERIFY(saved.isEmpty());
        QVERIFY(worker->receivedFiles().isEmpty());
        return;
    }
    QCOMPARE(saved.size(), 1);
    if (fileName == "{uuid}")
        QVERIFY(!QUuid::fromString(saved.first()).isNull());
    else
        QCOMPARE(saved.first(), fileName);
    QFile file(QDir(work).filePath(saved.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), reply.body);
    const ZeltHttpFileElement element = worker->receivedFiles().value(saved.first());
    QCOMPARE(element.request_filename, saved.first());
    QCOMPARE(element.mime_type, QStringLiteral("application/octet-stream"));
    QCOMPARE(QFileInfo(element.local_filename).canonicalFilePath(),
             QFileInfo(file).canonicalFilePath());
}

void tst_ZeltHttpRequestWorker::errorReplyKeepsBody()
{
    m_server->setReply(
        Reply::json(R"({"code":404,"message":"no such meeting","source":"svc"})", 404));
    ZeltHttpRequestInput input(m_server->url() + "/missing", QStringLiteral("GET"));
    const auto worker = run(input);
    QVERIFY(worker);
    QCOMPARE(worker->error_type, QNetworkReply::ContentNotFoundError);
    QVERIFY(worker->error_str.contains("Not Found"));
    QCOMPARE(worker->response,
             QByteArray(R"({"code":404,"message":"no such meeting","source":"svc"})"));
}

void tst_ZeltHttpRequestWorker::timeOutWhenNoAnswer()
{
    Reply silent;
    silent.answer = false;
    m_server->setReply(silent);
    ZeltHttpRequestInput input(m_server->url() + "/slow", QStringLiteral("GET"));
    auto worker = std::make_unique<ZeltHttpRequestWorker>();
    worker->setTimeOut(100);
    QSignalSpy finished(worker.get(), &ZeltHttpRequestWorker::on_execution_finished);
    worker->execute(&input);
    QVERIFY(finished.wait(20000));
    QCOMPARE(worker->error_type, QNetworkReply::TimeoutError);
    QCOMPARE(worker->error_str, QStringLiteral("Timed out waiting for response"));
    QVERIFY(worker->response.isEmpty());
    QCOMPARE(m_server->requests().size(), 1);
    // The aborted reply must not report a second time.
    QVERIFY(!finished.wait(300));
    QCOMPARE(finished.size(), 1);
}

void tst_ZeltHttpRequestWorker::stalledRequestsTimeOut_data()
{
    QTest::addColumn<bool>("connects");
    QTest::addColumn<int>("connectMs");
    QTest::addColumn<int>("replyMs");
    QTest::addColumn<QString>("text");
    QTest::newRow("no connection") << false << 200 << 20000 << "No connection within 0.2 s";
    QTest::newRow("no answer") << true << 20000 << 200 << "No answer within 0.2 s";
}

void tst_ZeltHttpRequestWorker::stalledRequestsTimeOut()
{
    QFETCH(bool, connects);
    QFETCH(int, connectMs);
    QFETCH(int, replyMs);
    QString url = m_server->url() + "/slow";
    Reply silent;
    silent.answer = false;
    m_server->setReply(silent);
    // A listener that never accepts, its one-place backlog taken: connecting hangs.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
    const auto closeBoth = qScopeGuard([&] {
        ::close(filler);
        ::close(listener);
    });
    if (!connects) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto *generic = reinterpret_cast<sockaddr *>(&address);
        QVERIFY(::bind(listener, generic, size) == 0 && ::listen(listener, 0) == 0 &&
                ::getsockname(listener, generic, &size) == 0 &&
                ::connect(filler, generic, size) == 0);
        url = QStringLiteral("http://127.0.0.1:%1/slow").arg(ntohs(address.sin_port));
    }
    ZeltRequestPool::setTimeouts({connectMs, replyMs});
    const auto restore = qScopeGuard([] { ZeltRequestPool::setTimeouts({}); });

    ZeltHttpRequestInput input(url, QStringLiteral("GET"));
    const auto worker = run(input);
    QVERIFY(worker);
    QCOMPARE(worker->error_type, QNetworkReply::TimeoutError);
    QTEST(worker->error_str, "text");
}

void tst_ZeltHttpRequestWorker::answerBeforeTimeOut()
{
    m_server->setReply(Reply::text("fine"));
    ZeltHttpRequestInput input(m_server->url() + "/quick", QStringLiteral("GET"));
    auto worker = std::make_unique<ZeltHttpRequestWorker>();
    worker->setTimeOut(200);
    QSignalSpy finished(worker.get(), &ZeltHttpRequestWorker::on_execution_finished);
    worker->execute(&input);
    QVERIFY(finished.wait(20000));
    QCOMPARE(worker->error_type, QNetworkReply::NoError);
    QCOMPARE(worker->response, QByteArray("fine"));
    // The stopped timer must not turn the finished request into a time-out.
    QVERIFY(!finished.wait(400));
    QCOMPARE(worker->error_type, QNetworkReply::NoError);
}

void tst_ZeltHttpRequestWorker::saveToFileReplacesAndReportsFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("out.bin");
    ZeltHttpFileElement element;
    QVERIFY(element.saveToFile("v", path, "r.bin", "text/plain", "a much longer first content"));
    QVERIFY(element.saveToFile("v", path, "r.bin", "text/plain", "short"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("short"));
    QCOMPARE(element.variable_name, QStringLiteral("v"));
    QCOMPARE(element.request_filename, QStringLiteral("r.bin"));
    QCOMPARE(element.mime_type, QStringLiteral("text/plain"));

    QVERIFY(!element.saveToFile("v", dir.filePath("no/such/dir/out.bin"), "r.bin", "", "x"));
}

QTEST_GUILESS_MAIN(tst_ZeltHttpRequestWorker)
#include "tst_zelthttprequestworker.moc"
