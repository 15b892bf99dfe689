// A large object moved over a network link of a given rate and round trip (a FaultProxy pacing
// both directions in front of a FileObjectServer), side by side in one run: the library's chunk
// loop with one and with N parts or ranges in flight, the S3 browser's queue with N, `aws s3 cp`
// and `rclone copyto` with their own defaults, and the library over plain loopback. Reports
// MB/s, the fraction of the link's rate and peak memory above idle (the external programs' whole
// peak).
//
//     link_bench [--size-mib N (1024)] [--link-mbit N (1000)] [--rtt-ms N (40)]
//                [--concurrency N (4)] [--aws PROGRAM] [--rclone PROGRAM]
//     link_bench --serve [--size-mib N] [--link-mbit N] [--rtt-ms N]
//
// --serve only prints the link's address and keeps it up until ended, for trying other clients.
#include "BenchSupport.h"
#include "BrowserBench.h"
#include "FaultProxy.h"
#include "FileObjectServer.h"
#include "ScriptedPrompt.h"
#include "TransferBench.h"
#include "Zelt_S3Worker.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include <chrono>
#include <functional>

namespace {

using namespace BenchSupport;
using namespace TransferBench;

constexpr int transferTimeoutMs = 30 * 60 * 1000;
const QString bucket = QStringLiteral("bench");
// FileObjectServer reads every key as this file and lists it under this name.
const QString servedName = QStringLiteral("source.bin");

struct Row
{
    Measurement measurement;
    QString path;
    QString concurrency;
};

class LinkBench
{
public:
    LinkBench(const QString &source, const QString &workDir, QTextStream &out)
        : m_source(source), m_work(workDir), m_out(out), m_sourceHash(sha256Of(source))
    {
    }

    QList<Row> rows;

    // The library's chunk loop up, then down, `parts` at a time.
    void library(const QString &endpoint, const QString &path, int parts)
    {
        Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, endpoint, QStringLiteral("S3RVER"),
                                      QStringLiteral("S3RVER"), QString());
        storage.SetTransferConcurrency(parts);
        const QString target = m_work + QStringLiteral("/library.bin");
        add(measureHere(QStringLiteral("library upload"),
                        [&] {
                            return caught([&] {
                                return uploadInChunks(storage, bucket,
                                                      QStringLiteral("library.bin"), m_source);
                            });
                        }),
            path, QString::number(parts));
        Measurement download = measureHere(QStringLiteral("library download"), [&] {
            return caught([&] { return downloadInChunks(storage, bucket, servedName, target); });
        });
        download.ok = download.ok && arrivedWhole(target);
        add(download, path, QString::number(parts));
    }

    // The S3 browser's queue and worker up, then down, `parts` at a time.
    void queue(const QString &endpoint, const QString &path, int parts)
    {
        Zelt_S3Worker::setTransferConcurrency(parts);
        ScriptedPrompt prompt;
        Zelt_LoginData session = BrowserBench::administrator(endpoint, bucket);
        Zelt_S3 browser;
        browser.resize(1000, 700);
        browser.show();
        browser.setConfig(&session);
        // Uploads go into the folder selected in the tree, and downloads take a listed file.
        if (BrowserBench::refreshAndShow(browser) < 0) {
            m_out << "the browser showed no tree" << Qt::endl;
            return;
        }
        // Under a name of its own: the served object keeps its ETag for the download.
        const QString upload = m_work + QStringLiteral("/queue-upload.bin");
        QFile::link(m_source, upload);
        add(measureHere(QStringLiteral("queue upload"),
                        [&] {
                            return BrowserBench::queueUpload(browser, prompt, upload, m_out,
                                                             transferTimeoutMs);
                        }),
            path, QString::number(parts));
        const QString target = m_work + QStringLiteral("/queue.bin");
        Measurement download = measureHere(QStringLiteral("queue download"), [&] {
            return BrowserBench::queueDownload(browser, prompt, servedName, target, m_out,
                                               transferTimeoutMs);
        });
        download.ok = download.ok && arrivedWhole(target);
        add(download, path, QString::number(parts));
    }

    // `aws s3 cp` with its defaults (10 requests at a time, 8 MiB parts); only the address
    // style is set, as for any S3 peer that is not Amazon's.
    void aws(const QString &program, const QString &endpoint, const QString &path)
    {
        const QString config = m_work + QStringLiteral("/aws-config");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write("[default]\nregion = eu-central-1\ns3 =\n    addressing_style = path\n") < 0)
            return;
        file.close();
        const QStringList environment{QStringLiteral("AWS_CONFIG_FILE=") + config,
                                      QStringLiteral("AWS_SHARED_CREDENTIALS_FILE=") + m_work +
                                          QStringLiteral("/none"),
                                      QStringLiteral("AWS_ACCESS_KEY_ID=S3RVER"),
                                      QStringLiteral("AWS_SECRET_ACCESS_KEY=S3RVER"),
                                      QStringLiteral("AWS_EC2_METADATA_DISABLED=true")};
        const QStringList common{QStringLiteral("--endpoint-url"), endpoint,
                                 QStringLiteral("--only-show-errors")};
        const QString defaults = QStringLiteral("defaults");
        add(measureChild(QStringLiteral("aws s3 cp upload"),
                         QStringList{program, "s3", "cp", m_source, "s3://bench/aws.bin"} + common,
                         environment),
            path, defaults);
        const QString target = m_work + QStringLiteral("/aws.bin");
        Measurement download = measureChild(
            QStringLiteral("aws s3 cp download"),
            QStringList{program, "s3", "cp", "s3://bench/" + servedName, target} + common,
            environment);
        download.ok = download.ok && arrivedWhole(target);
        add(download, path, defaults);
    }

    // `rclone copyto` with its defaults (4 parts of 5 MiB at a time up, 4 streams down), the
    // remote given by environment variables only.
    void rclone(const QString &program, const QString &endpoint, const QString &path)
    {
        // An empty configuration file: the remote comes from the environment alone.
        const QString config = m_work + QStringLiteral("/rclone.conf");
        QFile(config).open(QIODevice::WriteOnly);
        const QStringList environment{QStringLiteral("RCLONE_CONFIG=") + config,
                                      QStringLiteral("RCLONE_CONFIG_LINK_TYPE=s3"),
                                      QStringLiteral("RCLONE_CONFIG_LINK_PROVIDER=Minio"),
                                      QStringLiteral("RCLONE_CONFIG_LINK_ENDPOINT=") + endpoint,
                                      QStringLiteral("RCLONE_CONFIG_LINK_REGION=eu-central-1"),
                                      QStringLiteral("RCLONE_CONFIG_LINK_FORCE_PATH_STYLE=true"),
                                      QStringLiteral("RCLONE_CONFIG_LINK_ACCESS_KEY_ID=S3RVER"),
                                      QStringLiteral("RCLONE_CONFIG_LINK_SECRET_ACCESS_KEY=S3RVER"),
                                      // rclone cannot take a CA bundle for a plain http endpoint.
                                      QStringLiteral("AWS_CA_BUNDLE=")};
        const QString defaults = QStringLiteral("defaults");
        // Every key on the server reads as the source itself, which rclone would find already
        // there and skip without --ignore-times.
        add(measureChild(QStringLiteral("rclone copyto upload"),
                         {program, "copyto", "--ignore-times", m_source, "link:bench/rclone.bin"},
                         environment),
            path, defaults);
        const QString target = m_work + QStringLiteral("/rclone.bin");
        Measurement download =
            measureChild(QStringLiteral("rclone copyto download"),
                         {program, "copyto", "link:bench/" + servedName, target}, environment);
        download.ok = download.ok && arrivedWhole(target);
        add(download, path, defaults);
    }

private:
    void add(const Measurement &measurement, const QString &path, const QString &concurrency)
    {
        rows.append({measurement, path, concurrency});
        m_out << "  " << measurement.what << ", " << path << ", " << concurrency << ": "
              << QString::number(measurement.seconds, 'f', 1) << " s"
              << (measurement.ok ? "" : " FAILED") << Qt::endl;
    }

    bool caught(const std::function<bool()> &transfer)
    {
        try {
            return transfer();
        } catch (const QAWSException &ex) {
            m_out << "library transfer failed: " << ex.message << Qt::endl;
            return false;
        }
    }

    // Also frees the disk for the next download.
    bool arrivedWhole(const QString &target)
    {
        const bool whole = sha256Of(target) == m_sourceHash;
        QFile::remove(target);
        return whole;
    }

    QString m_source;
    QString m_work;
    QTextStream &m_out;
    QByteArray m_sourceHash;
};

QString program(const QString &chosen, const QString &preferred)
{
    if (!chosen.isEmpty())
        return QStandardPaths::findExecutable(chosen);
    return QFileInfo::exists(preferred)
               ? preferred
               : QStandardPaths::findExecutable(QFileInfo(preferred).fileName());
}

} // namespace

int main(int argc, char *argv[])
{
    offscreenUnlessChosen();
    QStandardPaths::setTestModeEnabled(true); // the queue's journal stays out of the user's
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption = sizeMibOption(QStringLiteral("Object"), 1024);
    const QCommandLineOption linkOption(QStringLiteral("link-mbit"),
                                        QStringLiteral("The link's rate in Mbit/s (1000)."),
                                        QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption rttOption(QStringLiteral("rtt-ms"),
                                       QStringLiteral("The link's round trip in ms (40)."),
                                       QStringLiteral("n"), QStringLiteral("40"));
    const QCommandLineOption concurrencyOption(
        QStringLiteral("concurrency"),
        QStringLiteral("Parts or ranges in flight besides 1, for the library and the queue (4)."),
        QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption awsOption(
        QStringLiteral("aws"), QStringLiteral("The AWS CLI (/usr/bin/aws, else from PATH)."),
        QStringLiteral("program"));
    const QCommandLineOption rcloneOption(
        QStringLiteral("rclone"), QStringLiteral("rclone (/usr/bin/rclone, else from PATH)."),
        QStringLiteral("program"));
    const QCommandLineOption serveOption(
        QStringLiteral("serve"), QStringLiteral("Only keep the link up and print its address."));
    parser.addOptions({sizeOption, linkOption, rttOption, concurrencyOption, awsOption,
                       rcloneOption, serveOption});
    parser.process(application);
    const qint64 size = parser.value(sizeOption).toLongLong() * MiB;
    const qint64 linkMbit = qMax(1, parser.value(linkOption).toInt());
    const int rttMs = qMax(0, parser.value(rttOption).toInt());
    const int parts = qMax(1, parser.value(concurrencyOption).toInt());
    const qint64 rate = linkMbit * 1000 * 1000 / 8;
    QTextStream out(stdout);

    QTemporaryDir work;
    const QString source = work.filePath(servedName);
    if (!writeRandomFile(source, size)) {
        out << "cannot write " << source << Qt::endl;
        return 1;
    }
    FileObjectServer server(source);
    if (!server.start()) {
        out << "cannot start the file object server" << Qt::endl;
        return 1;
    }
    FaultProxy link(quint16(QUrl(server.url()).port()));
    if (!link.start()) {
        out << "cannot start the link" << Qt::endl;
        return 1;
    }
    link.limitRate(rate);
    link.setRoundTrip(std::chrono::milliseconds(rttMs));
    const QString linkPath = QStringLiteral("%1 Mbit/s, %2 ms").arg(linkMbit).arg(rttMs);
    if (parser.isSet(serveOption)) {
        out << linkPath << " link to " << server.url() << " at " << link.url() << Qt::endl;
        return application.exec();
    }
    const QString loopback = QStringLiteral("loopback");

    LinkBench bench(source, work.path(), out);
    bench.library(link.url(), linkPath, 1);
    bench.library(link.url(), linkPath, parts);
    bench.queue(link.url(), linkPath, parts);
    const QString aws = program(parser.value(awsOption), QStringLiteral("/usr/bin/aws"));
    if (aws.isEmpty())
        out << "aws CLI not found (scripts/setup --bench installs it)" << Qt::endl;
    else
        bench.aws(aws, link.url(), linkPath);
    const QString rclone = program(parser.value(rcloneOption), QStringLiteral("/usr/bin/rclone"));
    if (rclone.isEmpty())
        out << "rclone not found (scripts/setup --bench installs it)" << Qt::endl;
    else
        bench.rclone(rclone, link.url(), linkPath);
    bench.library(server.url(), loopback, 1);
    bench.library(server.url(), loopback, parts);

    out << QStringLiteral("\n%1 MiB to a FileObjectServer; the link is shared by all connections, "
                          "with a 6 MiB TCP window per connection and direction\n")
               .arg(size / MiB);
    const auto line = [&](const QString &what, const QString &path, const QString &n,
                          const QString &mbs, const QString &share, const QString &memory,
                          const QString &result) {
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(what, -24)
                   .arg(path, -20)
                   .arg(n, 9)
                   .arg(mbs, 8)
                   .arg(share, 8)
                   .arg(memory, 15)
                   .arg(result);
    };
    line(QStringLiteral("transfer"), QStringLiteral("path"), QStringLiteral("N"),
         QStringLiteral("MB/s"), QStringLiteral("of link"), QStringLiteral("MiB above idle"),
         QStringLiteral("result"));
    line(QStringLiteral("the link itself"), linkPath, QString(),
         QString::number(rate / 1e6, 'f', 1), QStringLiteral("1.00"), QString(), QString());
    bool allOk = true;
    for (const Row &row : std::as_const(bench.rows)) {
        const Measurement &m = row.measurement;
        const double mbs = size / 1e6 / m.seconds;
        allOk = allOk && m.ok;
        line(m.what, row.path, row.concurrency, QString::number(mbs, 'f', 1),
             row.path == loopback ? QStringLiteral("-") : QString::number(mbs * 1e6 / rate, 'f', 2),
             QString::number(m.aboveIdleKiB / 1024.0, 'f', 1),
             m.ok ? QStringLiteral("ok") : QStringLiteral("FAILED"));
    }
    return allOk ? 0 : 1;
}
