// Chunked upload and download through Brenn_AWS against s3rver, side by side with `aws s3 cp`
// (one request at a time, 5 MiB parts) and with curl moving the object in one request.
// Reports throughput and peak memory of each.
//
//     transfer_bench [--size-mib N] [--aws PROGRAM]
#include "BenchSupport.h"
#include "S3Peer.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <vector>

extern char **environ;

namespace {

using namespace BenchSupport;

struct Measurement
{
    QString what;
    double seconds = 0;
    qint64 peakKiB = 0;       // peak resident memory of the process that moved the bytes
    qint64 aboveIdleKiB = -1; // the same above the process's memory before the transfer
    bool ok = false;
};

template <class Transfer> Measurement measureHere(const QString &what, Transfer transfer)
{
    Measurement measurement;
    measurement.what = what;
    resetPeakMemory();
    const qint64 idle = statusKiB("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    measurement.ok = transfer();
    measurement.seconds = timer.nsecsElapsed() / 1e9;
    measurement.peakKiB = statusKiB("VmHWM:");
    measurement.aboveIdleKiB = measurement.peakKiB - idle;
    return measurement;
}

// Runs a program to its end, sampling its peak memory (VmHWM) until it exits: the peak that
// wait4 reports would include this process's memory, which a spawned child starts from.
Measurement measureChild(const QString &what, const QStringList &command,
                         const QStringList &extraEnvironment)
{
    Measurement measurement;
    measurement.what = what;
    std::vector<QByteArray> storage;
    std::vector<char *> argv;
    for (const QString &argument : command)
        storage.push_back(argument.toLocal8Bit());
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environmentStorage;
    std::vector<char *> environment;
    for (char **variable = environ; *variable; ++variable)
        environment.push_back(*variable);
    for (const QString &variable : extraEnvironment)
        environmentStorage.push_back(variable.toLocal8Bit());
    for (QByteArray &variable : environmentStorage)
        environment.push_back(variable.data());
    environment.push_back(nullptr);

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv.front(), nullptr, nullptr, argv.data(), environment.data()) != 0)
        return measurement;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        measurement.peakKiB = qMax(measurement.peakKiB, statusKiB("VmHWM:", QString::number(pid)));
        QThread::msleep(2);
    }
    measurement.seconds = timer.nsecsElapsed() / 1e9;
    measurement.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measurement;
}

bool sameContent(const QString &a, const QString &b)
{
    return sha256Of(a) == sha256Of(b) && !sha256Of(a).isEmpty();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption(QStringLiteral("size-mib"),
                                        QStringLiteral("Object size in MiB (256)."),
                                        QStringLiteral("n"), QStringLiteral("256"));
    const QCommandLineOption awsOption(QStringLiteral("aws"),
                                       QStringLiteral("The AWS CLI program (aws from PATH)."),
                                       QStringLiteral("program"), QStringLiteral("aws"));
    parser.addOptions({sizeOption, awsOption});
    parser.process(application);
    const qint64 size = parser.value(sizeOption).toLongLong() * MiB;
    QTextStream out(stdout);

    QTemporaryDir work;
    S3Peer peer;
    if (!peer.start({QStringLiteral("bench")})) {
        out << "cannot start s3rver: " << peer.errorString() << Qt::endl;
        return 1;
    }
    const QString source = work.filePath(QStringLiteral("source.bin"));
    if (!writeRandomFile(source, size)) {
        out << "cannot write " << source << Qt::endl;
        return 1;
    }

    QList<Measurement> results;
    {
        Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), QStringLiteral("S3RVER"),
                                      QStringLiteral("S3RVER"), QString());
        results << measureHere(QStringLiteral("Brenn_AWS UploadObjectMultipart"), [&] {
            Brenn_AWS::MPInfo info;
            do {
                info = storage.UploadObjectMultipart(QStringLiteral("bench"),
                                                     QStringLiteral("library.bin"), source,
                                                     QStringLiteral("application/octet-stream"));
            } while (!info.finished);
            return info.transferred == size;
        });
        const QString target = work.filePath(QStringLiteral("library-download.bin"));
        results << measureHere(QStringLiteral("Brenn_AWS DownloadObjectMultipart"), [&] {
            Brenn_AWS::MPInfo info;
            do {
                info = storage.DownloadObjectMultipart(QStringLiteral("bench"),
                                                       QStringLiteral("library.bin"), target);
            } while (!info.finished);
            return info.transferred == size;
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
