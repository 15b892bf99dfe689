// The protocol layer on the wire: requests captured by a local peer exactly as the transport
// sent them, their signatures checked against botocore, and the transport's behaviour towards
// the peer (one kept-alive connection, no Expect, streamed bodies, refused connections).
#include "aws/S3Client.h"
#include "aws/StsClient.h"
#include "aws/TranslateClient.h"

#include "RecordingHttpServer.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QUrlQuery>
#include <QtTest>

using namespace Brenn_AWS::aws;

namespace {

const QString accessKey = QStringLiteral("AKIDEXAMPLE");
const QString secretKey = QStringLiteral("wJalrXUtnFEMI/K7MDENG+bPxRfiCYEXAMPLEKEY");
const QString sessionToken = QStringLiteral("FQoGZXIvYXdzEJr//////////wEaDEXAMPLE+token/=");

QString oraclePython()
{
    // Debian's interpreter is the one that has python3-botocore.
    if (QFile::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStringLiteral("python3");
}

QJsonObject runOracle(const QJsonObject &job)
{
    QProcess oracle;
    oracle.start(oraclePython(), {QStringLiteral(ORACLE_SCRIPT)});
    if (!oracle.waitForStarted(30000))
        qFatal("cannot start the botocore oracle");
    oracle.write(QJsonDocument(job).toJson(QJsonDocument::Compact));
    oracle.closeWriteChannel();
    oracle.waitForFinished(60000);
    const QByteArray output = oracle.readAllStandardOutput();
    if (oracle.exitCode() != 0 || output.isEmpty())
        qWarning().noquote() << "oracle failed:" << oracle.readAllStandardError();
    return QJsonDocument::fromJson(output).object();
}

QJsonArray headersOf(const RecordingHttpServer::Request &request)
{
    QJsonArray headers;
    for (const auto &header : request.headers)
        headers.append(
            QJsonArray{QString::fromUtf8(header.first), QString::fromUtf8(header.second)});
    return headers;
}

QJsonObject credentialsSpec(const QString &service, const QString &region, bool withToken)
{
    return QJsonObject{{QStringLiteral("service"), service},
                       {QStringLiteral("region"), region},
                       {QStringLiteral("access_key"), accessKey},
                       {QStringLiteral("secret_key"), secretKey},
                       {QStringLiteral("token"), withToken ? sessionToken : QString()}};
}

// What botocore makes of a request that the library sent.
QJsonObject oracleForSentRequest(const RecordingHttpServer &server,
                                 const RecordingHttpServer::Request &request, QJsonObject job)
{
    job.insert(QStringLiteral("mode"), QStringLiteral("header"));
    job.insert(QStringLiteral("method"), QString::fromUtf8(request.method));
    job.insert(QStringLiteral("url"), server.url() + QString::fromUtf8(request.target));
    job.insert(QStringLiteral("headers"), headersOf(request));
    job.insert(QStringLiteral("body_base64"), QString::fromLatin1(request.body.toBase64()));
    job.insert(QStringLiteral("amz_date"), QString::fromUtf8(request.header("X-Amz-Date")));
    return runOracle(job);
}

QStringList sortedQueryPairs(const QByteArray &query)
{
    QStringList pairs = QString::fromUtf8(query).split(QLatin1Char('&'), Qt::SkipEmptyParts);
    pairs.sort();
    return pairs;
}

QStringList toStringList(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list.append(item.toString());
    return list;
}

enum class S3Call
{
    Head,
    HeadPart,
    RangedGet,
    Put,
    Delete,
    List,
    Create,
    Part,
    Complete,
    Abort
};

} // namespace

class tst_AwsWire : public QObject
{
    Q_OBJECT

private slots:
    void s3RequestsMatchBotocore_data();
    void s3RequestsMatchBotocore();
    void presignedUrlsMatchBotocore_data();
    void presignedUrlsMatchBotocore();
    void assumeRoleMatchesBotocore_data();
    void assumeRoleMatchesBotocore();
    void translateTextMatchesBotocore_data();
    void translateTextMatchesBotocore();
    void oneConnectionCarriesEveryRequest();
    void bodiesGoOutWithLengthAndWithoutExpect();
    void successBodiesStreamAndErrorBodiesDoNot();
    void refusedConnectionIsANetworkError();
    void anonymousRequestsAreNotSigned();
    void environmentProxiesAreIgnored();
};

void tst_AwsWire::s3RequestsMatchBotocore_data()
{
    QTest::addColumn<S3Call>("call");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("withToken");

    const QList<QPair<const char *, QString>> keys = {
        {"blanks", QStringLiteral("folder/my file name.txt")},
        {"unicode", QStringLiteral("Ünïcödé/日本語 ファイル ☃.txt")},
        {"reserved", QStringLiteral("a+b=c&d;e,f:g@h$i#j?k%l.txt")},
        {"marks", QStringLiteral("tilde~star*quote'paren()!bang.txt")},
        {"unnormalised", QStringLiteral("//double//slash/../dots/./x")},
    };
    const QList<QPair<const char *, S3Call>> calls = {
        {"head", S3Call::Head},     {"head part", S3Call::HeadPart}, {"get", S3Call::RangedGet},
        {"put", S3Call::Put},       {"delete", S3Call::Delete},      {"list", S3Call::List},
        {"create", S3Call::Create}, {"part", S3Call::Part},          {"complete", S3Call::Complete},
        {"abort", S3Call::Abort}};
    for (const auto &call : calls) {
        for (const auto &key : keys)
            QTest::addRow("%s %s", call.first, key.first) << call.second << key.second << false;
        QTest::addRow("%s with session token", call.first)
            << call.second << keys.first().second << true;
    }
}

void tst_AwsWire::s3RequestsMatchBotocore()
{
    QFETCH(S3Call, call);
    QFETCH(QString, key);
    QFETCH(bool, withToken);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    S3Client client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-central-1")),
                    Credentials{accessKey, secretKey, withToken ? sessionToken : QString()});
    const QString bucket = QStringLiteral("my-bucket");
    const QString uploadId = QStringLiteral("VXBsb2FkIElE+/=");
    QJsonArray rawQuery;
    const auto expectQuery = [&rawQuery](const QString &name, const QString &value) {
        rawQuery.append(QJsonArray{name, value});
    };
    switch (call) {
    case S3Call::Head:
        client.headObject(bucket, key);
        break;
    case S3Call::HeadPart:
        client.headObject(bucket, key, 1);
        expectQuery(QStringLiteral("partNumber"), QStringLiteral("1"));
        break;
    case S3Call::RangedGet:
        client.getObject(bucket, key, "bytes=5242880-10485759",
                         [](const char *, qint64) { return true; });
        break;
    case S3Call::Put: {
        QBuffer body;
        body.setData("payload bytes");
        body.open(QIODevice::ReadOnly);
        client.putObject(bucket, key, &body, body.size(), QStringLiteral("text/plain"));
        break;
    }
    case S3Call::Delete:
        client.deleteObject(bucket, key);
        break;
    case S3Call::List:
        // The key stands in for a prefix here; the token carries "/", "+" and "=".
        client.listObjectsV2(bucket, key, QStringLiteral("1ueGcxLPRx1Tr/XYExHn+bYL=="));
        expectQuery(QStringLiteral("list-type"), QStringLiteral("2"));
        expectQuery(QStringLiteral("prefix"), key);
        expectQuery(QStringLiteral("continuation-token"),
                    QStringLiteral("1ueGcxLPRx1Tr/XYExHn+bYL=="));
        break;
    case S3Call::Create:
        client.createMultipartUpload(bucket, key, QStringLiteral("video/mp4"),
                                     QStringLiteral("attachment"));
        expectQuery(QStringLiteral("uploads"), QString());
        break;
    case S3Call::Part:
        client.uploadPart(bucket, key, 3, uploadId, QByteArray(1000, 'x'),
                          QStringLiteral("application/pdf"));
        expectQuery(QStringLiteral("partNumber"), QStringLiteral("3"));
        expectQuery(QStringLiteral("uploadId"), uploadId);
        break;
    case S3Call::Complete:
        client.completeMultipartUpload(bucket, key, uploadId, {{1, QStringLiteral("\"e1\"")}});
        expectQuery(QStringLiteral("uploadId"), uploadId);
        break;
    case S3Call::Abort:
        client.abortMultipartUpload(bucket, key, uploadId);
        expectQuery(QStringLiteral("uploadId"), uploadId);
        break;
    }
    QCOMPARE(server.requests().size(), 1);
    const RecordingHttpServer::Request sent = server.requests().first();

    QJsonObject job =
        credentialsSpec(QStringLiteral("s3"), QStringLiteral("eu-central-1"), withToken);
    job.insert(QStringLiteral("bucket"), bucket);
    job.insert(QStringLiteral("key"), call == S3Call::List ? QString() : key);
    job.insert(QStringLiteral("query"), rawQuery);
    const QJsonObject oracle = oracleForSentRequest(server, sent, job);
    QVERIFY2(!oracle.isEmpty(), "botocore oracle gave no answer");

    QCOMPARE(QString::fromUtf8(sent.header("Authorization")),
             oracle.value(QStringLiteral("authorization")).toString());
    QCOMPARE(toStringList(oracle.value(QStringLiteral("unsigned"))), QStringList());
    const QString expectedPath = oracle.value(QStringLiteral("path")).toString();
    QCOMPARE(QString::fromUtf8(sent.path()),
             call == S3Call::List ? expectedPath.chopped(1) : expectedPath);
    QCOMPARE(sortedQueryPairs(sent.query()),
             toStringList(oracle.value(QStringLiteral("query_pairs"))));
    QCOMPARE(sent.header("x-amz-content-sha256"), QByteArray("UNSIGNED-PAYLOAD"));
    QCOMPARE(sent.header("X-Amz-Security-Token"), withToken ? sessionToken.toUtf8() : QByteArray());
    if (call == S3Call::Part) {
        QCOMPARE(
            sent.header("Content-MD5"),
            QCryptographicHash::hash(QByteArray(1000, 'x'), QCryptographicHash::Md5).toBase64());
        QCOMPARE(sent.header("Content-Type"), QByteArray("application/pdf"));
    }
    if (call == S3Call::Create) {
        QCOMPARE(sent.header("Content-Type"), QByteArray("video/mp4"));
        QCOMPARE(sent.header("Content-Disposition"), QByteArray("attachment"));
    }
    if (call == S3Call::RangedGet)
        QCOMPARE(sent.header("Range"), QByteArray("bytes=5242880-10485759"));
}

void tst_AwsWire::presignedUrlsMatchBotocore_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("withToken");
    QTest::addColumn<qint64>("expiry");
    QTest::newRow("plain") << QStringLiteral("docs/report.pdf") << false << qint64(3600);
    QTest::newRow("blanks and unicode")
        << QStringLiteral("Ordner/Über uns ☃.pdf") << false << qint64(600);
    QTest::newRow("reserved characters") << QStringLiteral("a+b=c&d.txt") << false << qint64(60);
    QTest::newRow("session token") << QStringLiteral("docs/report.pdf") << true << qint64(604800);
}

void tst_AwsWire::presignedUrlsMatchBotocore()
{
    QFETCH(QString, key);
    QFETCH(bool, withToken);
    QFETCH(qint64, expiry);
    const QString base = QStringLiteral("http://127.0.0.1:9000");
    const S3Client client(Endpoint::fromLocation(base, QStringLiteral("eu-central-1")),
                          Credentials{accessKey, secretKey, withToken ? sessionToken : QString()});
    const QDateTime now(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC);
    const QUrl url(client.presignedGetUrl(QStringLiteral("media"), key, expiry, now),
                   QUrl::StrictMode);
    QVERIFY(url.isValid());

    QJsonObject job =
        credentialsSpec(QStringLiteral("s3"), QStringLiteral("eu-central-1"), withToken);
    job.insert(QStringLiteral("mode"), QStringLiteral("presign"));
    job.insert(QStringLiteral("base_url"), base);
    job.insert(QStringLiteral("bucket"), QStringLiteral("media"));
    job.insert(QStringLiteral("key"), key);
    job.insert(QStringLiteral("expires"), expiry);
    job.insert(QStringLiteral("amz_date"), QStringLiteral("20240229T235958Z"));
    const QJsonObject oracle = runOracle(job);
    QVERIFY2(!oracle.isEmpty(), "botocore oracle gave no answer");

    QCOMPARE(url.path(QUrl::FullyEncoded), oracle.value(QStringLiteral("path")).toString());
    QVariantMap ours;
    for (const auto &item : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        ours.insert(item.first, item.second);
    QCOMPARE(ours, oracle.value(QStringLiteral("query")).toObject().toVariantMap());
}

void tst_AwsWire::assumeRoleMatchesBotocore_data()
{
    QTest::addColumn<QString>("policy");
    QTest::newRow("with policy") << QStringLiteral(
        R"({"Version":"2012-10-17","Statement":[{"Effect":"Allow","Action":"s3:*","Resource":"*"}]})");
    QTest::newRow("without policy") << QString();
}

void tst_AwsWire::assumeRoleMatchesBotocore()
{
    QFETCH(QString, policy);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(200, "<AssumeRoleResponse><AssumeRoleResult><Credentials><AccessKeyId>A</"
                         "AccessKeyId><SecretAccessKey>S</SecretAccessKey></Credentials>"
                         "</AssumeRoleResult></AssumeRoleResponse>");
    StsClient client(Endpoint::fromLocation(server.url(), QStringLiteral("us-east-1")),
                     Credentials{accessKey, secretKey, {}});
    const auto role = client.assumeRole(QStringLiteral("arn:aws:iam::123456789012:role/demo"),
                                        QStringLiteral("John session"), policy);
    QVERIFY(role.isSuccess());
    QCOMPARE(role.value().accessKeyId, QStringLiteral("A"));

    const RecordingHttpServer::Request sent = server.requests().first();
    QCOMPARE(sent.method, QByteArray("POST"));
    QCOMPARE(sent.target, QByteArray("/"));
    QCOMPARE(sent.header("Content-Type"),
             QByteArray("application/x-www-form-urlencoded; charset=utf-8"));
    const QUrlQuery form(QString::fromUtf8(sent.body));
    QCOMPARE(form.queryItemValue(QStringLiteral("Action")), QStringLiteral("AssumeRole"));
    QCOMPARE(form.queryItemValue(QStringLiteral("Version")), QStringLiteral("2011-06-15"));
    QCOMPARE(form.queryItemValue(QStringLiteral("RoleArn"), QUrl::FullyDecoded),
             QStringLiteral("arn:aws:iam::123456789012:role/demo"));
    QCOMPARE(form.queryItemValue(QStringLiteral("RoleSessionName"), QUrl::FullyDecoded),
             QStringLiteral("John session"));
    QCOMPARE(form.hasQueryItem(QStringLiteral("Policy")), !policy.isEmpty());
    QCOMPARE(form.queryItemValue(QStringLiteral("Policy"), QUrl::FullyDecoded), policy);
    QVERIFY(!form.hasQueryItem(QStringLiteral("DurationSeconds")));

    const QJsonObject oracle = oracleForSentRequest(
        server, sent, credentialsSpec(QStringLiteral("sts"), QStringLiteral("us-east-1"), false));
    QCOMPARE(QString::fromUtf8(sent.header("Authorization")),
             oracle.value(QStringLiteral("authorization")).toString());
}

void tst_AwsWire::translateTextMatchesBotocore_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("with source language") << QStringLiteral("en");
    QTest::newRow("without source language") << QString();
}

void tst_AwsWire::translateTextMatchesBotocore()
{
    QFETCH(QString, source);
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    server.addReply(
        200,
        R"({"TranslatedText":"¡Hola, mundo!","SourceLanguageCode":"en","TargetLanguageCode":"es"})");
    TranslateClient client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-west-1")),
                           Credentials{accessKey, secretKey, sessionToken});
    const auto translated =
        client.translateText(QStringLiteral("Hello, world! \"ünï\""), source, QStringLiteral("es"));
    QVERIFY(translated.isSuccess());
    QCOMPARE(translated.value(), QStringLiteral("¡Hola, mundo!"));

    const RecordingHttpServer::Request sent = server.requests().first();
    QCOMPARE(sent.header("Content-Type"), QByteArray("application/x-amz-json-1.1"));
    QCOMPARE(sent.header("X-Amz-Target"),
             QByteArray("AWSShineFrontendService_20170701.TranslateText"));
    const QJsonObject body = QJsonDocument::fromJson(sent.body).object();
    QCOMPARE(body.value(QStringLiteral("Text")).toString(),
             QStringLiteral("Hello, world! \"ünï\""));
    QCOMPARE(body.value(QStringLiteral("TargetLanguageCode")).toString(), QStringLiteral("es"));
    QCOMPARE(body.contains(QStringLiteral("SourceLanguageCode")), !source.isEmpty());
    QCOMPARE(body.value(QStringLiteral("SourceLanguageCode")).toString(), source);

    const QJsonObject oracle = oracleForSentRequest(
        server, sent,
        credentialsSpec(QStringLiteral("translate"), QStringLiteral("eu-west-1"), true));
    QCOMPARE(QString::fromUtf8(sent.header("Authorization")),
             oracle.value(QStringLiteral("authorization")).toString());
}

void tst_AwsWire::oneConnectionCarriesEveryRequest()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    S3Client client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-central-1")),
                    Credentials{accessKey, secretKey, {}});
    server.addReply(404);
    client.headObject(QStringLiteral("b"), QStringLiteral("k"));
    client.deleteObject(QStringLiteral("b"), QStringLiteral("k"));
    client.getObject(QStringLiteral("b"), QStringLiteral("k"), {},
                     [](const char *, qint64) { return true; });
    QCOMPARE(server.requests().size(), 3);
    for (const auto &request : server.requests())
        QCOMPARE(request.connection, 1);
}

void tst_AwsWire::bodiesGoOutWithLengthAndWithoutExpect()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    S3Client client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-central-1")),
                    Credentials{accessKey, secretKey, {}});
    const QByteArray payload(3 * 1024 * 1024 + 7, 'p');
    QBuffer body;
    body.setData(payload);
    body.open(QIODevice::ReadOnly);
    QVERIFY(client.putObject(QStringLiteral("b"), QStringLiteral("big"), &body, payload.size())
                .isSuccess());
    QVERIFY(client.createMultipartUpload(QStringLiteral("b"), QStringLiteral("k"), {}, {})
                .isSuccess() == false); // the empty 200 is not an InitiateMultipartUploadResult
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).body, payload);
    QCOMPARE(requests.at(0).header("Content-Length"), QByteArray::number(payload.size()));
    QCOMPARE(requests.at(0).header("Host"),
             QStringLiteral("127.0.0.1:%1").arg(server.port()).toUtf8());
    for (const auto &request : requests) {
        QVERIFY(request.header("Expect").isNull());
        QVERIFY(request.header("Transfer-Encoding").isNull());
    }
    // A POST without content type must not get curl's form content type.
    QVERIFY(requests.at(1).header("Content-Type").isNull());
    QCOMPARE(requests.at(1).header("Content-Length"), QByteArray("0"));
}

void tst_AwsWire::successBodiesStreamAndErrorBodiesDoNot()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    S3Client client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-central-1")),
                    Credentials{accessKey, secretKey, {}});
    const QByteArray content(200000, 'c');
    server.addReply(206, content);
    server.addReply(404, "<Error><Code>NoSuchKey</Code><Message>The specified key does not "
                         "exist.</Message></Error>");
    QByteArray streamed;
    const BodySink sink = [&streamed](const char *data, qint64 size) {
        streamed.append(data, size);
        return true;
    };
    const auto first =
        client.getObject(QStringLiteral("b"), QStringLiteral("k"), "bytes=0-199999", sink);
    QVERIFY(first.isSuccess());
    QCOMPARE(first.value(), content.size());
    QCOMPARE(streamed, content);

    streamed.clear();
    const auto second = client.getObject(QStringLiteral("b"), QStringLiteral("gone"), {}, sink);
    QVERIFY(!second.isSuccess());
    QCOMPARE(second.error().type, 137);
    QCOMPARE(second.error().message, QStringLiteral("The specified key does not exist."));
    QCOMPARE(streamed, QByteArray());
}

void tst_AwsWire::refusedConnectionIsANetworkError()
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    S3Client client(Endpoint::fromLocation(QStringLiteral("127.0.0.1:%1").arg(closedPort),
                                           QStringLiteral("eu-central-1")),
                    Credentials{accessKey, secretKey, {}});
    const auto head = client.headObject(QStringLiteral("b"), QStringLiteral("k"));
    QVERIFY(!head.isSuccess());
    QCOMPARE(head.error().type, 99);
    QCOMPARE(head.error().message, QStringLiteral("curlCode: 7, Couldn't connect to server"));
    QCOMPARE(head.error().httpStatus, -1);
}

void tst_AwsWire::anonymousRequestsAreNotSigned()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    S3Client client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-central-1")), {});
    client.deleteObject(QStringLiteral("b"), QStringLiteral("k"));
    QVERIFY(server.requests().first().header("Authorization").isNull());
}

void tst_AwsWire::environmentProxiesAreIgnored()
{
    RecordingHttpServer server(RecordingHttpServer::OnOwnThread);
    RecordingHttpServer proxy(RecordingHttpServer::OnOwnThread);
    qputenv("http_proxy", proxy.url().toUtf8());
    qunsetenv("no_proxy");
    S3Client client(Endpoint::fromLocation(server.url(), QStringLiteral("eu-central-1")),
                    Credentials{accessKey, secretKey, {}});
    client.deleteObject(QStringLiteral("b"), QStringLiteral("k"));
    qunsetenv("http_proxy");
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(proxy.requests().size(), 0);
}

QTEST_GUILESS_MAIN(tst_AwsWire)
#include "tst_aws_wire.moc"
