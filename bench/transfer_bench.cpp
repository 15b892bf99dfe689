// Chunked upload and download through Brenn_AWS against s3rver, side by side with `aws s3 cp`
// (one request at a time, 5 MiB parts) and with curl moving the object in one request.
// Reports throughput and peak memory of each. With --integrity, only the library's chunked
// transfers, with the integrity checks off and on in turn, and what the checks cost, over
// loopback to s3rver and to a server that costs next to no CPU, and over a link of a network's
// speed.
//
//     transfer_bench [--size-mib N] [--aws PROGRAM]
//     transfer_bench --integrity [--size-mib N (256)] [--rounds N (7)] [--link-mbit N (1000)]
#include "BenchSupport.h"
#include "FileObjectServer.h"
#include "S3Peer.h"
#include "TransferBench.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace BenchSupport;
using namespace TransferBench;

bool sameContent(const QString &a, const QString &b)
{
    const QByteArray digest = sha256Of(a);
    return !digest.isEmpty() && digest == sha256Of(b);
}

const QString bucket = QStringLiteral("bench");

bool uploadInChunks(Brenn_AWS::Storage_S3 &storage, const QString &key, const QString &source)
{
    return TransferBench::uploadInChunks(storage, bucket, key, source);
}

bool downloadInChunks(Brenn_AWS::Storage_S3 &storage, const QString &key, const QString &target)
{
    return TransferBench::downloadInChunks(storage, bucket, key, target);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

// CPU time of the calling thread, which is the client's: the library moves the bytes in the
// thread that calls it, while the server runs on threads of its own.
double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Moves the object `rounds` times up, then `rounds` times down, each round once with the checks
// off and once on, back to back and in swapped order from round to round, and judges the cost by
// the median of the rounds' own on/off ratios, which a drift of the machine's speed over the run
// hardly moves. The disk is synced before every transfer: the write-back of the one before would
// slow it down. Appends a row per direction to `table`; false when a transfer failed.
bool compareIntegrityChecks(Brenn_AWS::Storage_S3 &storage, const QString &path,
                            const QString &source, const QString &target, int rounds,
                            QStringList &table)
{
    const QString key = QStringLiteral("integrity.bin");
    const qint64 size = QFileInfo(source).size();
    bool ok = true;
    for (int direction = 0; direction < 2; ++direction) {
        QList<double> seconds[2], cpu[2], ratios; // [checks off, on]
        for (int round = 0; round < rounds; ++round) {
            double roundSeconds[2] = {};
            for (int turn = 0; turn < 2; ++turn) {
                const int checks = (round + turn) % 2;
                storage.SetIntegrityChecks(checks == 1);
                ::sync();
                const double cpuBefore = cpuSeconds();
                QElapsedTimer timer;
                timer.start();
                try {
                    ok = (direction == 0 ? uploadInChunks(storage, key, source)
                                         : downloadInChunks(storage, key, target)) &&
                         ok;
                } catch (const QAWSException &exception) {
                    table << QStringLiteral("failed: ") + exception.message;
                    return false;
                }
                roundSeconds[checks] = timer.nsecsElapsed() / 1e9;
                seconds[checks] << roundSeconds[checks];
                cpu[checks] << cpuSeconds() - cpuBefore;
                if (direction == 1)
                    ok = ok && sameContent(source, target);
            }
            ratios << roundSeconds[0] / roundSeconds[1];
        }
        std::sort(ratios.begin(), ratios.end());
        table << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                     .arg(direction == 0 ? QStringLiteral("upload") : QStringLiteral("download"),
                          -10)
                     .arg(path, -20)
                     .arg(size / 1e6 / median(seconds[0]), 9, 'f', 1)
                     .arg(size / 1e6 / median(seconds[1]), 9, 'f', 1)
                     .arg(median(ratios), 7, 'f', 3)
                     .arg(QStringLiteral("%1-%2")
                              .arg(ratios.first(), 0, 'f', 2)
                              .arg(ratios.last(), 0, 'f', 2),
                          10)
                     .arg(median(cpu[0]), 7, 'f', 2)
                     .arg(median(cpu[1]), 6, 'f', 2);
    }
    return ok;
}

// The checks' cost on three paths: to s3rver over loopback, the peer of the other benchmarks
// here, where s3rver's CPU sets the speed; to a server that sends the object with sendfile and
// drops what it receives, over loopback, where the client's own CPU sets it; and to that server
// over a link of `linkMbit`, where the socket buffers let the hashing overlap the wait for the
// network.
int compareIntegrityChecks(const QString &source, const QString &target, int rounds, int linkMbit,
                           QTextStream &out)
{
    S3Peer s3rver;
    if (!s3rver.start({bucket})) {
        out << "cannot start s3rver: " << s3rver.errorString() << Qt::endl;
        return 1;
    }
    FileObjectServer quiet(source);
    if (!quiet.start()) {
        out << "cannot start the sendfile server" << Qt::endl;
        return 1;
    }
    struct Path
    {
        QString name;
        QString endpoint;
        qint64 bytesPerSecond;
    };
    const QList<Path> paths{{QStringLiteral("s3rver loopback"), s3rver.endpoint(), 0},
                            {QStringLiteral("sendfile loopback"), quiet.url(), 0},
                            {QStringLiteral("sendfile %1 Mbit/s").arg(linkMbit), quiet.url(),
                             qint64(linkMbit) * 1000 * 1000 / 8}};
    QStringList table;
    bool ok = true;
    for (const Path &path : paths) {
        quiet.limitRate(path.bytesPerSecond);
        Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, path.endpoint, QStringLiteral("S3RVER"),
                                      QStringLiteral("S3RVER"), QString());
        ok = compareIntegrityChecks(storage, path.name, source, target, rounds, table) && ok;
    }
    out << QStringLiteral("%1 MiB, %2 rounds, 5 MiB parts/chunks; medians, on/off of the rounds' "
                          "own ratios (their range beside it), CPU seconds "
                          "of the client's thread\n")
               .arg(QFileInfo(source).size() / MiB)
               .arg(rounds);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
               .arg(QStringLiteral("chunked"), -10)
               .arg(QStringLiteral("path"), -20)
               .arg(QStringLiteral("off MB/s"), 9)
               .arg(QStringLiteral("on MB/s"), 9)
               .arg(QStringLiteral("on/off"), 7)
               .arg(QStringLiteral("rounds"), 10)
               .arg(QStringLiteral("CPU s off"), 7)
               .arg(QStringLiteral("on"), 6);
    out << table.join(QLatin1Char('\n')) << Qt::endl;
    out << (ok ? "result ok" : "result FAILED") << Qt::endl;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption = sizeMibOption(QStringLiteral("Object"), 256);
    const QCommandLineOption awsOption(QStringLiteral("aws"),
                                       QStringLiteral("The AWS CLI program (aws from PATH)."),
                                       QStringLiteral("program"), QStringLiteral("aws"));
    const QCommandLineOption integrityOption(
        QStringLiteral("integrity"),
        QStringLiteral("Only the library's chunked transfers, integrity checks off and on."));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"),
                                          QStringLiteral("Rounds of --integrity (7)."),
                                          QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption linkOption(
        QStringLiteral("link-mbit"),
        QStringLiteral("The link --integrity also measures over, in Mbit/s (1000)."),
        QStringLiteral("n"), QStringLiteral("1000"));
    parser.addOptions({sizeOption, awsOption, integrityOption, roundsOption, linkOption});
    parser.process(application);
    const bool integrity = parser.isSet(integrityOption);
    const qint64 size =
        (integrity && !parser.isSet(sizeOption) ? 256 : parser.value(sizeOption).toLongLong()) *
        MiB;
    QTextStream out(stdout);

    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("source.bin"));
    if (!writeRandomFile(source, size)) {
        out << "cannot write " << source << Qt::endl;
        return 1;
    }
    if (integrity) {
        return compareIntegrityChecks(source, work.filePath(QStringLiteral("download.bin")),
                                      qMax(1, parser.value(roundsOption).toInt()),
                                      qMax(1, parser.value(linkOption).toInt()), out);
    }
    S3Peer peer;
    if (!peer.start({QStringLiteral("bench")})) {
        out << "cannot start s3rver: " << peer.errorString() << Qt::endl;
        return 1;
    }

    QList<Measurement> results;
    {
        const QString target = work.filePath(QStringLiteral("library-download.bin"));
        Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), QStringLiteral("S3RVER"),
                                      QStringLiteral("S3RVER"), QString());
        results << measureHere(QStringLiteral("Brenn_AWS UploadObjectMultipart"), [&] {
            return uploadInChunks(storage, QStringLiteral("library.bin"), source);
        });
        results << measureHere(QStringLiteral("Brenn_AWS DownloadObjectMultipart"), [&] {
            return downloadInChunks(storage, QStringLiteral("library.bin"), target);
        });
        results.last().ok = results.last().ok && sameContent(source, target);
    }

    const QString aws = QStandardPaths::findExecutable(parser.value(awsOption));
    if (aws.isEmpty()) {
        out << "aws CLI not found: `aws s3 cp` not measured" << Qt::endl;
    } else {
        // One request at a time, 5 MiB parts, path-style, and no checksum trailers (s3rver
        // knows neither aws-chunked bodies nor flexible checksums).
        const QString config = work.filePath(QStringLiteral("aws-config"));
        QFile configFile(config);
        configFile.open(QIODevice::WriteOnly);
        configFile.write("[default]\nregion = eu-central-1\n"
                         "request_checksum_calculation = when_required\n"
                         "response_checksum_validation = when_required\n"
                         "s3 =\n    max_concurrent_requests = 1\n    multipart_chunksize = 5MB\n"
                         "    multipart_threshold = 5MB\n    addressing_style = path\n");
        configFile.close();
        const QStringList environment{QStringLiteral("AWS_CONFIG_FILE=") + config,
                                      QStringLiteral("AWS_SHARED_CREDENTIALS_FILE=") +
                                          work.filePath("none"),
                                      QStringLiteral("AWS_ACCESS_KEY_ID=S3RVER"),
                                      QStringLiteral("AWS_SECRET_ACCESS_KEY=S3RVER")};
        const QStringList common{QStringLiteral("--endpoint-url"), peer.endpoint(),
                                 QStringLiteral("--only-show-errors")};
        results << measureChild(QStringLiteral("aws s3 cp (upload)"),
                                QStringList{aws, "s3", "cp", source, "s3://bench/aws.bin"} + common,
                                environment);
        const QString target = work.filePath(QStringLiteral("aws-download.bin"));
        results << measureChild(QStringLiteral("aws s3 cp (download)"),
                                QStringList{aws, "s3", "cp", "s3://bench/aws.bin", target} + common,
                                environment);
        results.last().ok = results.last().ok && sameContent(source, target);
    }

    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (!curl.isEmpty()) {
        const QString url = peer.endpoint() + QStringLiteral("/bench/curl.bin");
        results << measureChild(QStringLiteral("curl, one PUT"),
                                {curl, "--silent", "--fail", "--upload-file", source, url}, {});
        const QString target = work.filePath(QStringLiteral("curl-download.bin"));
        results << measureChild(QStringLiteral("curl, one GET"),
                                {curl, "--silent", "--fail", "--output", target, url}, {});
        results.last().ok = results.last().ok && sameContent(source, target);
    }

    out << QStringLiteral("%1 MiB over loopback to s3rver, 5 MiB parts/chunks\n").arg(size / MiB);
    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg(QStringLiteral("transfer"), -36)
               .arg(QStringLiteral("MB/s"), 8)
               .arg(QStringLiteral("peak MiB"), 10)
               .arg(QStringLiteral("above idle"), 11)
               .arg(QStringLiteral("result"));
    for (const Measurement &m : results) {
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(m.what, -36)
                   .arg(size / 1e6 / m.seconds, 8, 'f', 1)
                   .arg(m.peakKiB / 1024.0, 10, 'f', 1)
                   .arg(m.aboveIdleKiB < 0 ? QStringLiteral("-")
                                           : QString::number(m.aboveIdleKiB / 1024.0, 'f', 1),
                        11)
                   .arg(m.ok ? QStringLiteral("ok") : QStringLiteral("FAILED"));
    }
    return 0;
}
