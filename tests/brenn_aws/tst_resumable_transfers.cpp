// Chunked transfers continued by a new storage object from their saved state, as after a crash,
// against a peer that lists and aborts multipart uploads as S3 does.
#include "StorageTestSupport.h"

#include "MultipartS3Peer.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Brenn_AWS;
using namespace StorageTest;

namespace {
constexpr qint64 MiB = 1024 * 1024;
const QString bucket = QStringLiteral("media");

std::unique_ptr<Storage_S3> storageOn(const MultipartS3Peer &peer)
{
    return std::make_unique<Storage_S3>(MinIO, peer.endpoint(), accessKey, secretKey, QString());
}

void overwrite(const QString &path, qint64 offset, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

class tst_ResumableTransfers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void continuedUpload_data();
    void continuedUpload();
    void continuedDownload_data();
    void continuedDownload();
    void openUploadsAreListedAndAborted();

private:
    std::unique_ptr<MultipartS3Peer> m_peer;
    QTemporaryDir m_files;
};

void tst_ResumableTransfers::init()
{
    m_peer = std::make_unique<MultipartS3Peer>();
    // Small pages, so that every listing needs more than one.
    m_peer->setPageSizes(2, 1);
}

void tst_ResumableTransfers::continuedUpload_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QList<int>>("resent");
    QTest::addColumn<QString>("error");
    QTest::newRow("file unchanged") << "" << QList<int>{4} << "";
    QTest::newRow("second part changed") << "part 2" << QList<int>{2, 4} << "";
    QTest::newRow("upload aborted") << "abort" << QList<int>() << "NoSuchUpload";
}

void tst_ResumableTransfers::continuedUpload()
{
    QFETCH(QString, change);
    QFETCH(QList<int>, resent);
    QFETCH(QString, error);
    const QString file = m_files.filePath(QStringLiteral("up.bin"));
    QVERIFY(writeFile(file, patternBytes(15 * MiB + 12345)));

    // Three of four parts, then the process dies without aborting anything.
    auto s3 = storageOn(*m_peer);
    for (int chunk = 0; chunk < 3; ++chunk) {
        QVERIFY(!s3->UploadObjectMultipart(bucket, "up.bin", file, "text/plain").finished);
        QVERIFY(!s3->UploadObjectMultipartState().uploadId.isEmpty());
    }
    const UploadState saved = s3->UploadObjectMultipartState();
    s3.reset();
    QCOMPARE(m_peer->partsSent(), (QList<int>{1, 2, 3}));
    QCOMPARE(saved.partSize, 5 * MiB);
    QCOMPARE(saved.contentType, QStringLiteral("text/plain"));

    s3 = storageOn(*m_peer);
    const QList<PartInfo> listed = s3->ListParts(bucket, "up.bin", saved.uploadId);
    QCOMPARE(listed.size(), 3);
    QCOMPARE(saved.parts.size(), 3);
    for (qsizetype i = 0; i < listed.size(); ++i) {
        QCOMPARE(saved.parts.at(i).number, listed.at(i).number);
        QCOMPARE(saved.parts.at(i).size, listed.at(i).size);
        QCOMPARE(saved.parts.at(i).eTag, listed.at(i).eTag);
    }
    if (change == QLatin1String("part 2"))
        overwrite(file, 6 * MiB, "changed");
    if (change == QLatin1String("abort"))
        s3->AbortMultipartUpload(bucket, "up.bin", saved.uploadId);

    m_peer->clearLog();
    const QAWSException thrown = thrownBy([&] { s3->ContinueUploadObjectMultipart(saved); });
    QCOMPARE(thrown.name, error.isEmpty() ? QStringLiteral("nothing thrown") : error);
    if (!error.isEmpty())
        return;
    MPInfo info;
    for (int chunk = 0; chunk < resent.size() && !info.finished; ++chunk)
        info = s3->UploadObjectMultipart(bucket, "up.bin", file, "text/plain");
    QVERIFY(info.finished);
    QCOMPARE(m_peer->partsSent(), resent);
    QVERIFY(info.eTag.endsWith(QLatin1String("-4\"")));
    QCOMPARE(m_peer->object(bucket, "up.bin"), readFile(file));
    QVERIFY(s3->UploadObjectMultipartState().uploadId.isEmpty());
}

void tst_ResumableTransfers::continuedDownload_data()
{
    QTest::addColumn<bool>("newProcess");
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("error");
    QTest::newRow("continued") << true << "" << -2 << "nothing thrown";
    QTest::newRow("object replaced, continued") << true << "object" << 100 << "PreconditionFailed";
    QTest::newRow("object replaced, same process")
        << false << "object" << 100 << "PreconditionFailed";
    QTest::newRow("partial file damaged, continued")
        << true << "partial" << 189 << "Integrity Check Failed";
}

void tst_ResumableTransfers::continuedDownload()
{
    QFETCH(bool, newProcess);
    QFETCH(QString, change);
    QFETCH(int, code);
    QFETCH(QString, error);
    const QString source = m_files.filePath(QStringLiteral("source.bin"));
    const QString target = m_files.filePath(QStringLiteral("down.bin"));
    QVERIFY(writeFile(source, patternBytes(7 * MiB + 99, 3)));
    auto s3 = storageOn(*m_peer);
    // Stored in parts, so that the check hashes in the object's own layout.
    while (!s3->UploadObjectMultipart(bucket, "obj", source, "").finished) {
    }

    s3->SetDownloadChunkSize(2 * MiB);
    s3->DownloadObjectMultipart(bucket, "obj", target);
    s3->DownloadObjectMultipart(bucket, "obj", target);
    const DownloadState saved = s3->DownloadObjectMultipartState();
    QCOMPARE(saved.transferred, 4 * MiB);
    QCOMPARE(saved.size, 7 * MiB + 99);
    QVERIFY(saved.eTag.endsWith(QLatin1String("-2")));
    QVERIFY(saved.lastModified.isValid());
    if (change == QLatin1String("object"))
        m_peer->putObject(bucket, "obj", patternBytes(7 * MiB + 99, 4));
    if (change == QLatin1String("partial"))
        overwrite(target, MiB, "damage");
    if (newProcess) {
        s3 = storageOn(*m_peer);
        s3->SetDownloadChunkSize(2 * MiB);
        s3->ContinueDownloadObjectMultipart(saved);
    }

    m_peer->clearLog();
    const QAWSException thrown = thrownBy([&] {
        while (!s3->DownloadObjectMultipart(bucket, "obj", target).finished) {
        }
    });
    QCOMPARE(thrown.code, code);
    QCOMPARE(thrown.name, error);
    QVERIFY(s3->DownloadObjectMultipartState().key.isEmpty());
    if (code != -2) {
        QVERIFY(!QFileInfo::exists(target));
        return;
    }
    QCOMPARE(readFile(target), readFile(source));
    QList<QByteArray> ranges;
    for (const MultipartS3Peer::LoggedRequest &request : m_peer->log()) {
        if (request.method == "GET") {
            ranges.append(request.range);
            QCOMPARE(request.ifMatch, '"' + saved.eTag.toLatin1() + '"');
        }
    }
    QCOMPARE(ranges, (QList<QByteArray>{"bytes=4194304-6291455", "bytes=6291456-7340130"}));
}

void tst_ResumableTransfers::openUploadsAreListedAndAborted()
{
    const QString file = m_files.filePath(QStringLiteral("open.bin"));
    QVERIFY(writeFile(file, patternBytes(6 * MiB)));
    QStringList ids;
    for (const char *key : {"a/x", "a/y", "b/z"}) {
        auto s3 = storageOn(*m_peer);
        s3->UploadObjectMultipart(bucket, key, file, "");
        ids.append(s3->UploadObjectMultipartState().uploadId);
    }
    auto s3 = storageOn(*m_peer);
    QList<MultipartUploadInfo> open = s3->ListMultipartUploads(bucket, "a/");
    QCOMPARE(open.size(), 2);
    QCOMPARE(open.at(0).key, QStringLiteral("a/x"));
    QCOMPARE(open.at(0).uploadId, ids.at(0));
    QCOMPARE(open.at(1).key, QStringLiteral("a/y"));
    QCOMPARE(open.at(1).uploadId, ids.at(1));
    QVERIFY(open.at(1).initiated.isValid());

    s3->AbortMultipartUpload(bucket, "a/x", ids.at(0));
    open = s3->ListMultipartUploads(bucket, QString());
    QCOMPARE(open.size(), 2);
    QCOMPARE(open.at(0).uploadId, ids.at(1));
    QCOMPARE(open.at(1).uploadId, ids.at(2));
    QCOMPARE(thrownBy([&] { s3->ListParts(bucket, "a/x", ids.at(0)); }).name,
             QStringLiteral("NoSuchUpload"));
    QCOMPARE(thrownBy([&] { s3->AbortMultipartUpload(bucket, "a/x", ids.at(0)); }).name,
             QStringLiteral("NoSuchUpload"));
}

QTEST_GUILESS_MAIN(tst_ResumableTransfers)
#include "tst_resumable_transfers.moc"
