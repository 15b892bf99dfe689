// Storage_S3 against a recording stand-in: what exactly goes on the wire (ranges, pages,
// aborts, tokens, endpoints), and server answers that s3rver cannot give.
#include "StorageTestSupport.h"

#include "RecordingHttpServer.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QCryptographicHash>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

using namespace Brenn_AWS;
using namespace StorageTest;

namespace {

constexpr qint64 MiB = 1024 * 1024;

RecordingHttpServer::HeaderList lengthHeader(qint64 length)
{
    return {{"Content-Length", QByteArray::number(length)}, {"ETag", "\"abc\""}};
}

QByteArray listPage(const QStringList &keys, const QByteArray &nextToken)
{
    QByteArray page = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ListBucketResult>";
    for (const QString &key : keys)
        page += "<Contents><Key>" + key.toUtf8() + "</Key><Size>1</Size></Contents>";
    page += nextToken.isEmpty() ? QByteArray("<IsTruncated>false</IsTruncated>")
                                : "<IsTruncated>true</IsTruncated><NextContinuationToken>" +
                                      nextToken + "</NextContinuationToken>";
    return page + "</ListBucketResult>";
}

QString queryValue(const RecordingHttpServer::Request &request, const QString &name)
{
    return QUrlQuery(QString::fromUtf8(request.query())).queryItemValue(name, QUrl::FullyDecoded);
}

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// The ETag S3 gives an object uploaded in these parts.
QByteArray multipartETag(const QList<QByteArray> &parts)
{
    QByteArray digests;
    for (const QByteArray &part : parts)
        digests += md5(part);
    return md5(digests).toHex() + '-' + QByteArray::number(parts.size());
}

const QByteArray initiated = "<InitiateMultipartUploadResult><UploadId>upload-1</UploadId>"
                             "</InitiateMultipartUploadResult>";

} // namespace

class tst_StorageStandIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void downloadRangesOf12MiB();
    void shortRangeIsRolledBackForARetry();
    void listingFollowsTokensInServerOrder();
    void failedPageKeepsEarlierKeys();
    void failuresWorthARetry_data();
    void failuresWorthARetry();
    void refusedConnectionIsWorthARetry();
    void passingFailureSendsThePartAgain_data();
    void passingFailureSendsThePartAgain();
    void completedUploadIsChecked_data();
    void completedUploadIsChecked();
    void downloadIsChecked_data();
    void downloadIsChecked();
    void failedPartAbortsOnTheServer();
    void failedCompleteAbortsOnTheServer();
    void failedCreateIsReported();
    void switchingUploadsAbortsTheFirst();
    void hasObjectNeverThrows();
    void sessionTokenTravelsWithEveryRequest_data();
    void sessionTokenTravelsWithEveryRequest();
    void minioSchemes_data();
    void minioSchemes();
    void awsTypeUsesTheRegionalEndpoint();
    void otherTypesTakeTheEnvironment();
    void awsEndpointVariableKeepsTheLocationsRegion_data();
    void awsEndpointVariableKeepsTheLocationsRegion();
    void renewedCredentialsSignTheNextChunks();

private:
    QTemporaryDir m_files;
};

void tst_StorageStandIn::initTestCase()
{
    // An endpoint set for the developer's own AWS tools would redirect the AWS type.
    qunsetenv("AWS_ENDPOINT_URL_S3");
    qunsetenv("AWS_ENDPOINT_URL");
}

void tst_StorageStandIn::downloadRangesOf12MiB()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    const QByteArray content = patternBytes(12 * MiB);
    server.addReply(200, {}, lengthHeader(content.size())); // HEAD
    server.addReply(206, content.mid(0, 5 * MiB));
    server.addReply(206, content.mid(5 * MiB, 5 * MiB));
    server.addReply(206, content.mid(10 * MiB));
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    const QString target = m_files.filePath(QStringLiteral("ranges"));
    for (int chunk = 0; chunk < 3; ++chunk)
        QCOMPARE(s3.DownloadObjectMultipart("b", "k", target).finished, chunk == 2);
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 4);
    QCOMPARE(requests.at(0).method, QByteArray("HEAD"));
    QCOMPARE(requests.at(1).header("Range"), QByteArray("bytes=0-5242879"));
    QCOMPARE(requests.at(2).header("Range"), QByteArray("bytes=5242880-10485759"));
    QCOMPARE(requests.at(3).header("Range"), QByteArray("bytes=10485760-12582911"));
    QCOMPARE(readFile(target), content);
}

void tst_StorageStandIn::shortRangeIsRolledBackForARetry()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, {}, lengthHeader(10));
    server.addReply(206, "01234");
    server.addReply(206, "567"); // two bytes short
    server.addReply(500, "<Error><Code>InternalError</Code><Message>later</Message></Error>");
    server.addReply(206, "56789");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    s3.SetDownloadChunkSize(5);
    const QString target = m_files.filePath(QStringLiteral("retry"));
    QCOMPARE(s3.DownloadObjectMultipart("b", "k", target).transferred, 5);
    const QAWSException shortChunk =
        thrownBy([&] { s3.DownloadObjectMultipart("b", "k", target); });
    QCOMPARE(shortChunk.code, 99);
    const QAWSException serverError =
        thrownBy([&] { s3.DownloadObjectMultipart("b", "k", target); });
    QCOMPARE(serverError.code, 1);
    QCOMPARE(serverError.message, QStringLiteral("later"));
    const MPInfo info = s3.DownloadObjectMultipart("b", "k", target);
    QVERIFY(info.finished);
    QCOMPARE(readFile(target), QByteArray("0123456789"));
    const auto requests = server.requests();
    for (int retry = 2; retry < 5; ++retry)
        QCOMPARE(requests.at(retry).header("Range"), QByteArray("bytes=5-9"));
}

void tst_StorageStandIn::listingFollowsTokensInServerOrder()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, listPage({"z", "a", "m/"}, "1ueGcxLP/Rx1T+r=="));
    server.addReply(200, listPage({"b &amp; c", "0"}, {}));
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    QStringList keys;
    s3.ListObjects("bucket", "", keys);
    QCOMPARE(keys, (QStringList{"z", "a", "m/", "b & c", "0"}));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).target, QByteArray("/bucket?list-type=2"));
    QCOMPARE(queryValue(requests.at(1), QStringLiteral("continuation-token")),
             QStringLiteral("1ueGcxLP/Rx1T+r=="));
    QVERIFY(requests.at(1).query().contains("continuation-token=1ueGcxLP%2FRx1T%2Br%3D%3D"));
    QVERIFY(!requests.at(1).query().contains("prefix"));
    QVERIFY(!requests.at(1).query().contains("delimiter"));
}

void tst_StorageStandIn::failedPageKeepsEarlierKeys()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, listPage({"first"}, "next"));
    server.addReply(503, "<Error><Code>SlowDown</Code><Message>Reduce your rate</Message></Error>");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    QStringList keys;
    const QAWSException failed = thrownBy([&] { s3.ListObjects("bucket", "pre/", keys); });
    QCOMPARE(failed.code, 19);
    QCOMPARE(failed.name, QStringLiteral("SlowDown"));
    QCOMPARE(keys, QStringList{"first"});
    QCOMPARE(queryValue(server.requests().at(1), QStringLiteral("prefix")), QStringLiteral("pre/"));
}

void tst_StorageStandIn::failuresWorthARetry_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<bool>("transient");
    QTest::newRow("500 InternalError") << 500 << QByteArray("InternalError") << true;
    QTest::newRow("501") << 501 << QByteArray() << false;
    QTest::newRow("502") << 502 << QByteArray() << true;
    QTest::newRow("503 SlowDown") << 503 << QByteArray("SlowDown") << true;
    QTest::newRow("504") << 504 << QByteArray() << true;
    QTest::newRow("400 RequestTimeout") << 400 << QByteArray("RequestTimeout") << true;
    QTest::newRow("429") << 429 << QByteArray() << false;
    QTest::newRow("403") << 403 << QByteArray() << false;
    QTest::newRow("404") << 404 << QByteArray() << false;
    QTest::newRow("404 NoSuchBucket") << 404 << QByteArray("NoSuchBucket") << false;
    QTest::newRow("403 InvalidAccessKeyId") << 403 << QByteArray("InvalidAccessKeyId") << false;
    QTest::newRow("403 SignatureDoesNotMatch")
        << 403 << QByteArray("SignatureDoesNotMatch") << false;
    QTest::newRow("400 EntityTooSmall") << 400 << QByteArray("EntityTooSmall") << false;
}

void tst_StorageStandIn::failuresWorthARetry()
{
    QFETCH(int, status);
    QFETCH(QByteArray, code);
    QFETCH(bool, transient);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(status,
                    code.isEmpty() ? QByteArray() : "<Error><Code>" + code + "</Code></Error>");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    const QAWSException failed = thrownBy([&] { s3.DeleteObject("b", "k"); });
    QVERIFY(failed.code != -2);
    QCOMPARE(failed.transient, transient);
    QCOMPARE(QAWSException(failed).transient, transient);
}

void tst_StorageStandIn::refusedConnectionIsWorthARetry()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    Storage_S3 s3(MinIO, QStringLiteral("http://127.0.0.1:%1").arg(port), accessKey, secretKey,
                  QString());
    const QAWSException refused = thrownBy([&] { s3.DeleteObject("b", "k"); });
    QCOMPARE(refused.code, 99);
    QVERIFY(refused.transient);
}

void tst_StorageStandIn::passingFailureSendsThePartAgain_data()
{
    QTest::addColumn<int>("failing"); // the request answered 503, counted from 0
    QTest::addColumn<QList<QByteArray>>("sent");
    const QByteArray complete = "/b/k?uploadId=upload-1";
    const auto part = [](int n) {
        return "/b/k?partNumber=" + QByteArray::number(n) + "&uploadId=upload-1";
    };
    QTest::newRow("part 2") << 2 << QList<QByteArray>{"/b/k?uploads=", part(1), part(2),
                                                      part(2),         part(3), complete};
    QTest::newRow("completion") << 4 << QList<QByteArray>{"/b/k?uploads=", part(1),  part(2),
                                                          part(3),         complete, complete};
}

void tst_StorageStandIn::passingFailureSendsThePartAgain()
{
    QFETCH(int, failing);
    QFETCH(QList<QByteArray>, sent);
    const QByteArray content = patternBytes(2 * 5242881 + 10);
    const QByteArray eTag =
        multipartETag({content.left(5242881), content.mid(5242881, 5242881), content.right(10)});
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    std::atomic<int> answered{0};
    server.setHandler([&](const RecordingHttpServer::Request &request) {
        if (answered++ == failing)
            return RecordingHttpServer::Reply::text("<Error><Code>SlowDown</Code></Error>", 503);
        if (request.method == "PUT")
            return RecordingHttpServer::Reply{
                200, {}, {{"ETag", '"' + md5(request.body).toHex() + '"'}}, {}};
        if (request.target.endsWith("uploads="))
            return RecordingHttpServer::Reply{200, {}, {}, initiated};
        return RecordingHttpServer::Reply{200,
                                          {},
                                          {},
                                          "<CompleteMultipartUploadResult><ETag>\"" + eTag +
                                              "\"</ETag></CompleteMultipartUploadResult>"};
    });
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    s3.SetUploadChunkSize(5242881);
    const QString file = m_files.filePath(QStringLiteral("retried"));
    QVERIFY(writeFile(file, content));
    MPInfo info;
    for (int call = 0; call < 4 && !info.finished; ++call) {
        try {
            info = s3.UploadObjectMultipart("b", "k", file, "");
        } catch (const QAWSException &failed) {
            QVERIFY(failed.transient);
        }
    }
    QVERIFY(info.finished);
    QCOMPARE(info.eTag.toUtf8(), '"' + eTag + '"');
    QList<QByteArray> targets;
    const auto requests = server.requests();
    for (const auto &request : requests)
        targets << request.target;
    QCOMPARE(targets, sent);
    for (const auto &request : requests) { // what is sent again is sent unchanged
        for (const auto &again : requests)
            QVERIFY(request.target != again.target || request.body == again.body);
    }
}

void tst_StorageStandIn::completedUploadIsChecked_data()
{
    QTest::addColumn<QByteArray>("partETag"); // empty: the part's MD5
    QTest::addColumn<QByteArray>("objectETag");
    QTest::addColumn<bool>("checks");
    QTest::addColumn<int>("code");
    const QByteArray data = "0123456789";
    const QByteArray other = md5("other").toHex();
    QTest::newRow("multipart form") << QByteArray() << multipartETag({data}) << true << -2;
    QTest::newRow("other digest") << QByteArray() << other + "-1" << true << 189;
    QTest::newRow("other part count")
        << QByteArray() << multipartETag({data}).replace("-1", "-2") << true << 189;
    QTest::newRow("whole-object MD5") << QByteArray() << md5(data).toHex() << true << -2;
    QTest::newRow("other whole-object MD5") << QByteArray() << other << true << 189;
    QTest::newRow("no MD5") << QByteArray() << QByteArray("abc") << true << -2;
    QTest::newRow("encrypted parts") << md5("x").toHex() << other + "-1" << true << -2;
    QTest::newRow("checks off") << QByteArray() << other + "-1" << false << -2;
}

void tst_StorageStandIn::completedUploadIsChecked()
{
    QFETCH(QByteArray, partETag);
    QFETCH(QByteArray, objectETag);
    QFETCH(bool, checks);
    QFETCH(int, code);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, initiated);
    server.addReply(
        200, {},
        {{"ETag", '"' + (partETag.isEmpty() ? md5("0123456789").toHex() : partETag) + '"'}});
    server.addReply(200, "<CompleteMultipartUploadResult><ETag>&quot;" + objectETag +
                             "&quot;</ETag></CompleteMultipartUploadResult>");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    QCOMPARE(s3.SetIntegrityChecks(checks), checks);
    const QString file = m_files.filePath(QStringLiteral("checked"));
    QVERIFY(writeFile(file, "0123456789"));
    const QAWSException failed = thrownBy([&] { s3.UploadObjectMultipart("b", "k", file, ""); });
    QCOMPARE(failed.code, code);
    if (code == 189) {
        QVERIFY2(
            failed.message.startsWith("Integrity check failed: the server's ETag " + objectETag),
            qPrintable(failed.message));
        // Forgotten: the same call begins a new upload.
        server.clear();
        thrownBy([&] { s3.UploadObjectMultipart("b", "k", file, ""); });
        QCOMPARE(server.requests().first().target, QByteArray("/b/k?uploads="));
    }
}

void tst_StorageStandIn::downloadIsChecked_data()
{
    QTest::addColumn<QByteArray>("eTag");
    QTest::addColumn<int>("partLength"); // as the server tells it; 0: stored whole
    QTest::addColumn<bool>("cut");       // the second chunk arrives short once
    QTest::addColumn<bool>("checks");
    QTest::addColumn<int>("code");
    const QByteArray data = "0123456789"; // in chunks of 4
    const QByteArray parts = multipartETag({"0123", "4567", "89"});
    QTest::newRow("whole-object MD5") << md5(data).toHex() << 0 << false << true << -2;
    QTest::newRow("whole-object MD5, cut") << md5(data).toHex() << 0 << true << true << -2;
    QTest::newRow("other whole-object MD5") << md5("x").toHex() << 0 << false << true << 189;
    QTest::newRow("multipart form") << parts << 4 << false << true << -2;
    QTest::newRow("multipart form, cut") << parts << 4 << true << true << -2;
    QTest::newRow("other multipart digest")
        << multipartETag({"0123", "4567", "8x"}) << 4 << false << true << 189;
    QTest::newRow("other part count")
        << multipartETag({"01234", "56789"}) << 5 << false << true << -2;
    QTest::newRow("no MD5") << QByteArray("abc") << 0 << false << true << -2;
    QTest::newRow("checks off") << md5("x").toHex() << 0 << false << false << -2;
}

void tst_StorageStandIn::downloadIsChecked()
{
    QFETCH(QByteArray, eTag);
    QFETCH(int, partLength);
    QFETCH(bool, cut);
    QFETCH(bool, checks);
    QFETCH(int, code);
    const QByteArray data = "0123456789";
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    std::atomic<bool> cutNext{cut};
    server.setHandler([&](const RecordingHttpServer::Request &request) {
        const int part = queryValue(request, QStringLiteral("partNumber")).toInt();
        if (request.method == "HEAD" && part > 0 && partLength > 0)
            return RecordingHttpServer::Reply{
                206,
                {},
                {{"Content-Length",
                  QByteArray::number(qMin(partLength, 10 - (part - 1) * partLength))},
                 {"ETag", '"' + eTag + '"'},
                 {"x-amz-mp-parts-count", QByteArray::number((10 + partLength - 1) / partLength)}},
                {}};
        if (request.method == "HEAD")
            return RecordingHttpServer::Reply{
                200, {}, {{"Content-Length", "10"}, {"ETag", '"' + eTag + '"'}}, {}};
        const int from = request.header("Range").mid(6).split('-').first().toInt();
        return RecordingHttpServer::Reply{
            206, {}, {}, data.mid(from, from == 4 && cutNext.exchange(false) ? 2 : 4)};
    });
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    s3.SetDownloadChunkSize(4);
    s3.SetIntegrityChecks(checks);
    const QString target = m_files.filePath(QStringLiteral("checked-download"));
    QAWSException failed = thrownBy([&] {
        while (!s3.DownloadObjectMultipart("b", "k", target).finished) {
        }
    });
    if (cut) {
        QVERIFY(failed.transient);
        failed = thrownBy([&] {
            while (!s3.DownloadObjectMultipart("b", "k", target).finished) {
            }
        });
    }
    QCOMPARE(failed.code, code);
    // The part size is asked for only where the ETag has parts.
    if (partLength == 0) {
        for (const auto &request : server.requests())
            QVERIFY(!request.query().contains("partNumber"));
    }
    QCOMPARE(QFile::exists(target), code != 189);
    if (code == 189)
        QVERIFY2(failed.message.startsWith("Integrity check failed: the downloaded data "),
                 qPrintable(failed.message));
    else
        QCOMPARE(readFile(target), data);
}

void tst_StorageStandIn::failedPartAbortsOnTheServer()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, initiated);
    // A refusal that no retry would change; passing failures keep the upload.
    server.addReply(403, "<Error><Code>AccessDenied</Code><Message>denied</Message></Error>");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    const QString file = m_files.filePath(QStringLiteral("part-fails"));
    QVERIFY(writeFile(file, "0123456789"));
    const QAWSException failed =
        thrownBy([&] { s3.UploadObjectMultipart("b", "k", file, "image/png"); });
    QCOMPARE(failed.code, 15);
    QCOMPARE(failed.message, QStringLiteral("denied"));
    QVERIFY(!failed.transient);
    auto requests = server.requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(2).method, QByteArray("DELETE"));
    QCOMPARE(requests.at(2).target, QByteArray("/b/k?uploadId=upload-1"));

    // Nothing stays stored: the next call creates a new upload.
    server.clear();
    thrownBy([&] { s3.UploadObjectMultipart("b", "k", file, "image/png"); });
    requests = server.requests();
    QCOMPARE(requests.first().target, QByteArray("/b/k?uploads="));
    QCOMPARE(requests.first().header("Content-Type"), QByteArray("image/png"));
    QCOMPARE(requests.first().header("Content-Disposition"), QByteArray("attachment"));
}

void tst_StorageStandIn::failedCompleteAbortsOnTheServer()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, initiated);
    server.addReply(200, {}, {{"ETag", "\"part-1\""}});
    // S3 reports a failed completion inside a 200.
    server.addReply(200, "<Error><Code>InvalidPart</Code><Message>missing</Message></Error>");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    const QString file = m_files.filePath(QStringLiteral("complete-fails"));
    QVERIFY(writeFile(file, "tiny"));
    const QAWSException failed = thrownBy([&] { s3.UploadObjectMultipart("b", "k", file, ""); });
    QCOMPARE(failed.code, 100);
    QCOMPARE(failed.name, QStringLiteral("InvalidPart"));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 4);
    QCOMPARE(requests.at(2).target, QByteArray("/b/k?uploadId=upload-1"));
    QVERIFY(
        requests.at(2).body.contains("<ETag>&quot;part-1&quot;</ETag><PartNumber>1</PartNumber>"));
    QCOMPARE(requests.at(3).method, QByteArray("DELETE"));
}

void tst_StorageStandIn::failedCreateIsReported()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(404, "<Error><Code>NoSuchBucket</Code><Message>no bucket</Message></Error>");
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    const QString file = m_files.filePath(QStringLiteral("create-fails"));
    QVERIFY(writeFile(file, "tiny"));
    const QAWSException failed = thrownBy([&] { s3.UploadObjectMultipart("b", "k", file, ""); });
    QCOMPARE(failed.name, QStringLiteral("NoSuchBucket"));
    QCOMPARE(server.requests().size(), 1); // no part sent for an upload that never began
}

void tst_StorageStandIn::switchingUploadsAbortsTheFirst()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, initiated);
    server.addReply(200, {}, {{"ETag", "\"p\""}});
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    const QString file = m_files.filePath(QStringLiteral("switch"));
    QVERIFY(writeFile(file, patternBytes(6 * MiB)));
    QVERIFY(!s3.UploadObjectMultipart("b", "first", file, "").finished);
    server.clear();
    server.addReply(204); // abort
    server.addReply(200, "<InitiateMultipartUploadResult><UploadId>upload-2</UploadId>"
                         "</InitiateMultipartUploadResult>");
    s3.UploadObjectMultipart("b", "second", file, "");
    const auto requests = server.requests();
    QCOMPARE(requests.at(0).method, QByteArray("DELETE"));
    QCOMPARE(requests.at(0).target, QByteArray("/b/first?uploadId=upload-1"));
    QCOMPARE(requests.at(1).target, QByteArray("/b/second?uploads="));
    QCOMPARE(requests.at(2).target, QByteArray("/b/second?partNumber=1&uploadId=upload-2"));
}

void tst_StorageStandIn::hasObjectNeverThrows()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(403);
    server.addReply(500);
    server.addReply(200, {}, lengthHeader(42));
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, QString());
    QCOMPARE(s3.HasObject("b", "denied"), -1);
    QCOMPARE(s3.HasObject("b", "broken"), -1);
    QCOMPARE(s3.HasObject("b", "there"), 42);
}

void tst_StorageStandIn::sessionTokenTravelsWithEveryRequest_data()
{
    QTest::addColumn<QString>("token");
    QTest::newRow("none") << QString();
    QTest::newRow("temporary credentials") << QStringLiteral("session+token/==");
}

void tst_StorageStandIn::sessionTokenTravelsWithEveryRequest()
{
    QFETCH(QString, token);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    Storage_S3 s3(MinIO, server.url(), accessKey, secretKey, token);
    s3.DeleteObject("b", "k");
    QByteArray bytes;
    s3.DownloadObject("b", "k", bytes);
    s3.HasObject("b", "k");
    QString url;
    s3.PreSignedURL("b", "k", url, 60);
    for (const auto &request : server.requests()) {
        QCOMPARE(request.header("X-Amz-Security-Token"),
                 token.isEmpty() ? QByteArray() : token.toUtf8());
        QCOMPARE(request.header("Authorization").contains("x-amz-security-token"),
                 !token.isEmpty());
    }
    QCOMPARE(QUrlQuery(QUrl(url)).queryItemValue("X-Amz-Security-Token", QUrl::FullyDecoded),
             token);
}

void tst_StorageStandIn::minioSchemes_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("messageStart");
    QTest::newRow("http://") << QStringLiteral("http://127.0.0.1:%1") << 0 << QString();
    QTest::newRow("host and port only") << QStringLiteral("127.0.0.1:%1") << 0 << QString();
    QTest::newRow("HtTp:// in mixed case")
        << QStringLiteral("HtTp://127.0.0.1:%1/") << 0 << QString();
    // The stand-in speaks plain HTTP, so an HTTPS client fails its handshake.
    QTest::newRow("HTTPS:// in mixed case")
        << QStringLiteral("hTTpS://127.0.0.1:%1") << 99 << QStringLiteral("curlCode: 35,");
}

void tst_StorageStandIn::minioSchemes()
{
    QFETCH(QString, location);
    QFETCH(int, code);
    QFETCH(QString, messageStart);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    Storage_S3 s3(MinIO, location.arg(server.port()), accessKey, secretKey, QString());
    const QAWSException result = thrownBy([&] { s3.DeleteObject("b", "k"); });
    if (code == 0) {
        QCOMPARE(result.code, -2); // nothing thrown
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().first().target, QByteArray("/b/k"));
        QVERIFY(server.requests().first().header("Authorization").contains("/eu-central-1/s3/"));
    } else {
        QCOMPARE(result.code, code);
        QVERIFY2(result.message.startsWith(messageStart), qPrintable(result.message));
    }
}

void tst_StorageStandIn::awsTypeUsesTheRegionalEndpoint()
{
    Storage_S3 s3(AWS, QStringLiteral("eu-west-3"), accessKey, secretKey, QString());
    QString url;
    s3.PreSignedURL("media", "a b.txt", url, 900);
    QVERIFY2(url.startsWith(QLatin1String("https://s3.eu-west-3.amazonaws.com/media/a%20b.txt?")),
             qPrintable(url));
    QVERIFY(QUrlQuery(QUrl(url))
                .queryItemValue("X-Amz-Credential", QUrl::FullyDecoded)
                .endsWith(QLatin1String("/eu-west-3/s3/aws4_request")));
}

void tst_StorageStandIn::otherTypesTakeTheEnvironment()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    qputenv("AWS_ENDPOINT_URL", server.url().toUtf8());
    qputenv("AWS_REGION", "ap-south-2");
    Storage_S3 s3(static_cast<Type>(7), QStringLiteral("ignored"), accessKey, secretKey, QString());
    qunsetenv("AWS_ENDPOINT_URL");
    qunsetenv("AWS_REGION");
    s3.DeleteObject("b", "k");
    QCOMPARE(server.requests().size(), 1);
    QVERIFY(server.requests().first().header("Authorization").contains("/ap-south-2/s3/"));
}

void tst_StorageStandIn::awsEndpointVariableKeepsTheLocationsRegion_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::newRow("AWS_ENDPOINT_URL_S3") << QByteArray("AWS_ENDPOINT_URL_S3");
    QTest::newRow("AWS_ENDPOINT_URL") << QByteArray("AWS_ENDPOINT_URL");
}

void tst_StorageStandIn::awsEndpointVariableKeepsTheLocationsRegion()
{
    QFETCH(QByteArray, variable);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    RecordingHttpServer minioServer(RecordingHttpServer::OnOwnThread);
    qputenv(variable, server.url().toUtf8());
    qputenv("AWS_REGION", "ap-south-2");
    Storage_S3 aws(AWS, QStringLiteral("eu-west-3"), accessKey, secretKey, QString());
    Storage_S3 minio(MinIO, minioServer.url(), accessKey, secretKey, QString());
    qunsetenv(variable);
    qunsetenv("AWS_REGION");
    aws.DeleteObject("b", "k");
    minio.DeleteObject("b", "k");
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().first().target, QByteArray("/b/k"));
    QVERIFY(server.requests().first().header("Authorization").contains("/eu-west-3/s3/"));
    QCOMPARE(minioServer.requests().size(), 1);
}

void tst_StorageStandIn::renewedCredentialsSignTheNextChunks()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, initiated);
    server.addReply(200, {}, {{"ETag", "\"part-1\""}});
    server.addReply(200, {}, {{"ETag", "\"part-2\""}});
    server.addReply(200, "<CompleteMultipartUploadResult><ETag>\"all\"</ETag>"
                         "</CompleteMultipartUploadResult>");
    Storage_S3 s3(MinIO, server.url(), "OLDKEY", "old-secret", "old-token");
    const QString source = m_files.filePath(QStringLiteral("renewed-source"));
    QVERIFY(writeFile(source, patternBytes(5 * MiB + 10)));
    QVERIFY(!s3.UploadObjectMultipart("b", "up", source, "").finished);
    s3.UpdateCredentials("NEWKEY", "new-secret", "new-token");
    QCOMPARE(s3.UploadObjectMultipart("b", "up", source, "").eTag, QStringLiteral("\"all\""));

    const auto requests = server.requests();
    QCOMPARE(requests.size(), 4);
    for (int i = 0; i < requests.size(); ++i) {
        const bool renewed = i >= 2;
        QVERIFY(requests.at(i)
                    .header("Authorization")
                    .contains(renewed ? "Credential=NEWKEY/" : "Credential=OLDKEY/"));
        QCOMPARE(requests.at(i).header("X-Amz-Security-Token"),
                 QByteArray(renewed ? "new-token" : "old-token"));
    }
    // Still the one upload: its second part and the completion name the first upload id.
    QCOMPARE(requests.at(2).target, QByteArray("/b/up?partNumber=2&uploadId=upload-1"));
    QCOMPARE(requests.at(3).target, QByteArray("/b/up?uploadId=upload-1"));
    QVERIFY(requests.at(3).body.contains("<PartNumber>1</PartNumber>"));
}

QTEST_GUILESS_MAIN(tst_StorageStandIn)
#include "tst_storage_stand_in.moc"
