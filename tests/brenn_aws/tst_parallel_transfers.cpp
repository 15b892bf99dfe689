// Chunked transfers with several parts or ranges in flight, against a peer that answers as S3
// does and loses or refuses chosen requests, so that parts finish out of order or fail while
// others are on their way.
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
constexpr qint64 chunk = 5 * MiB;
const QString bucket = QStringLiteral("media");
using Mishap = MultipartS3Peer::Mishap;

std::unique_ptr<Storage_S3> parallelStorage(const MultipartS3Peer &peer)
{
    auto s3 = std::make_unique<Storage_S3>(MinIO, peer.endpoint(), accessKey, secretKey, QString());
    s3->SetTransferConcurrency(4);
    return s3;
}

bool isPart(const MultipartS3Peer::LoggedRequest &request, int number)
{
    return request.method == "PUT" && request.parameter("partNumber").toInt() == number;
}

// The range of the chunk with this index (from 0).
bool isRange(const MultipartS3Peer::LoggedRequest &request, int index)
{
    return request.range.startsWith("bytes=" + QByteArray::number(index * chunk) + '-');
}

// Calls the transfer until `enough` holds, at most 30 times (each call returns within a second).
template <class Call, class Enough> bool callUntil(Call call, Enough enough)
{
    for (int calls = 0; calls < 30; ++calls) {
        call();
        if (enough())
            return true;
    }
    return false;
}
} // namespace

class tst_ParallelTransfers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void partLostInFlightIsSentAgainAfterACrash();
    void downloadWithAMissingMiddleRangeIsContinuedIntact();
    void failedPartIsSentAgainAndNothingElse();
    void abortWithPartsInFlightLeavesNoOpenUpload();

private:
    std::unique_ptr<MultipartS3Peer> m_peer;
    std::unique_ptr<QTemporaryDir> m_files;
};

void tst_ParallelTransfers::init()
{
    m_peer = std::make_unique<MultipartS3Peer>();
    m_files = std::make_unique<QTemporaryDir>();
}

void tst_ParallelTransfers::partLostInFlightIsSentAgainAfterACrash()
{
    const QString file = m_files->filePath(QStringLiteral("up.bin"));
    QVERIFY(writeFile(file, patternBytes(4 * chunk + 100)));
    // The first part never arrives: the others finish before it.
    m_peer->setMishaps(
        [](const auto &request) { return isPart(request, 1) ? Mishap::Lost : Mishap::None; });
    UploadState saved;
    {
        auto s3 = parallelStorage(*m_peer);
        QVERIFY(callUntil([&] { s3->UploadObjectMultipart(bucket, "up.bin", file, ""); },
                          [&] { return s3->UploadObjectMultipartState().parts.size() == 4; }));
        saved = s3->UploadObjectMultipartState();
    } // gone with the first part still in flight, as in a crash
    QList<int> held;
    for (const PartInfo &part : saved.parts)
        held << part.number;
    QCOMPARE(held, (QList<int>{2, 3, 4, 5}));

    m_peer->setMishaps({});
    auto s3 = parallelStorage(*m_peer);
    s3->ContinueUploadObjectMultipart(saved);
    QVERIFY(callUntil([&] { s3->UploadObjectMultipart(bucket, "up.bin", file, ""); },
                      [&] { return s3->UploadObjectMultipartState().uploadId.isEmpty(); }));
    QCOMPARE(m_peer->object(bucket, "up.bin"), readFile(file));
    const QList<int> sent = m_peer->partsSent();
    QCOMPARE(sent.count(1), 2);
    for (int part = 2; part <= 5; ++part)
        QCOMPARE(sent.count(part), 1);
}

void tst_ParallelTransfers::downloadWithAMissingMiddleRangeIsContinuedIntact()
{
    const QByteArray object = patternBytes(4 * chunk + 100, 3);
    m_peer->putObject(bucket, "big.bin", object);
    const QString target = m_files->filePath(QStringLiteral("big.bin"));
    // The second range never arrives; those after it are written at their offsets.
    m_peer->setMishaps(
        [](const auto &request) { return isRange(request, 1) ? Mishap::Lost : Mishap::None; });
    DownloadState saved;
    {
        auto s3 = parallelStorage(*m_peer);
        // Only the first range counts as done, however many after the gap are on disk.
        QVERIFY(callUntil([&] { s3->DownloadObjectMultipart(bucket, "big.bin", target); },
                          [&] {
                              return s3->DownloadObjectMultipartState().transferred == chunk &&
                                     QFileInfo(target).size() == object.size();
                          }));
        saved = s3->DownloadObjectMultipartState();
    } // gone with the second range in flight, as in a crash

    m_peer->setMishaps({});
    m_peer->clearLog();
    auto s3 = parallelStorage(*m_peer);
    s3->ContinueDownloadObjectMultipart(saved);
    // Checked against the object's ETag when done: a gap left in the file would fail it.
    QVERIFY(callUntil([&] { s3->DownloadObjectMultipart(bucket, "big.bin", target); },
                      [&] { return s3->DownloadObjectMultipartState().key.isEmpty(); }));
    QCOMPARE(readFile(target), object);
    const auto log = m_peer->log();
    QVERIFY(std::none_of(log.cbegin(), log.cend(),
                         [](const auto &request) { return isRange(request, 0); }));
}

void tst_ParallelTransfers::failedPartIsSentAgainAndNothingElse()
{
    const QString file = m_files->filePath(QStringLiteral("up.bin"));
    QVERIFY(writeFile(file, patternBytes(4 * chunk)));
    auto refused = std::make_shared<std::atomic<int>>(0);
    m_peer->setMishaps([refused](const auto &request) {
        return isPart(request, 2) && (*refused)++ == 0 ? Mishap::SlowDown : Mishap::None;
    });
    auto s3 = parallelStorage(*m_peer);
    QList<int> failures;
    QVERIFY(callUntil(
        [&] {
            try {
                s3->UploadObjectMultipart(bucket, "up.bin", file, "");
            } catch (const QAWSException &failed) {
                QVERIFY(failed.transient);
                failures << failed.code;
            }
        },
        [&] { return m_peer->object(bucket, "up.bin") == readFile(file); }));
    QCOMPARE(failures.size(), 1);
    const QList<int> sent = m_peer->partsSent();
    QCOMPARE(sent.count(2), 2);
    for (int part : {1, 3, 4})
        QCOMPARE(sent.count(part), 1);
}

void tst_ParallelTransfers::abortWithPartsInFlightLeavesNoOpenUpload()
{
    const QString file = m_files->filePath(QStringLiteral("up.bin"));
    QVERIFY(writeFile(file, patternBytes(4 * chunk)));
    m_peer->setMishaps([](const auto &request) {
        return isPart(request, 2) || isPart(request, 3) ? Mishap::Lost : Mishap::None;
    });
    auto s3 = parallelStorage(*m_peer);
    QVERIFY(callUntil([&] { s3->UploadObjectMultipart(bucket, "up.bin", file, ""); },
                      [&] { return s3->UploadObjectMultipartState().parts.size() == 2; }));
    // Returns although two parts are still on their way, and ends them before the upload.
    s3->AbortUploadObjectMultipart();
    QVERIFY(s3->ListMultipartUploads(bucket, QString()).isEmpty());
    QVERIFY(m_peer->object(bucket, "up.bin").isNull());
    const auto log = m_peer->log();
    QCOMPARE(log.at(log.size() - 2).method, QByteArray("DELETE"));
}

QTEST_GUILESS_MAIN(tst_ParallelTransfers)
#include "tst_parallel_transfers.moc"
