// A large file uploaded and downloaded through the S3 browser's queue and worker, side by side
// with the library's own chunk loop against the same s3rver, default chunk sizes: throughput,
// peak memory above the idle process, and the longest the GUI thread's event loop went without
// turning during the queue's transfers.
//
//     queue_transfer_bench [--size-mib N]
#include "BenchSupport.h"
#include "BrowserBench.h"
#include "S3Peer.h"
#include "ScriptedPrompt.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

using namespace BenchSupport;

constexpr int transferTimeoutMs = 30 * 60 * 1000;
const QString bucket = QStringLiteral("bench");

struct Measurement
{
    QString what;
    double seconds = 0;
    qint64 aboveIdleKiB = -1;
    double stallMs = -1; // only where the GUI thread's event loop runs
    bool ok = false;
};

// The longest gap between the timeouts of a 5 ms timer on the GUI thread.
class StallMeter
{
public:
    StallMeter()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        longestNs = 0;
        clock.start();
        lastNs = 0;
        timer.start();
    }
    double stopMs()
    {
        timer.stop();
        tick();
        return longestNs / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = clock.nsecsElapsed();
        longestNs = qMax(longestNs, now - lastNs);
        lastNs = now;
    }

    QTimer timer;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    qint64 longestNs = 0;
};

// Memory is counted from the process before its first transfer: what an earlier transfer left
// resident (the allocator keeps freed chunks) counts against the later ones.
Measurement measure(const QString &what, qint64 idleKiB, StallMeter *stalls,
                    const std::function<bool()> &transfer)
{
    Measurement measurement;
    measurement.what = what;
    resetPeakMemory();
    if (stalls)
        stalls->start();
    QElapsedTimer timer;
    timer.start();
    measurement.ok = transfer();
    measurement.seconds = timer.nsecsElapsed() / 1e9;
    if (stalls)
        measurement.stallMs = stalls->stopMs();
    measurement.aboveIdleKiB = statusKiB("VmHWM:") - idleKiB;
    return measurement;
}

} // namespace

int main(int argc, char *argv[])
{
    offscreenUnlessChosen();
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption = sizeMibOption(QStringLiteral("File"), 1024);
    parser.addOption(sizeOption);
    parser.process(application);
    const qint64 size = parser.value(sizeOption).toLongLong() * MiB;
    QTextStream out(stdout);

    QTemporaryDir work;
    S3Peer peer;
    if (!peer.start({bucket})) {
        out << "cannot start s3rver: " << peer.errorString() << Qt::endl;
        return 1;
    }
    const QString source = work.filePath(QStringLiteral("source.bin"));
    if (!writeRandomFile(source, size)) {
        out << "cannot write " << source << Qt::endl;
        return 1;
    }
    const QByteArray sourceHash = sha256Of(source);

    ScriptedPrompt prompt;
    Zelt_LoginData session = BrowserBench::administrator(peer.endpoint(), bucket);
    Zelt_S3 browser;
    browser.resize(1000, 700);
    browser.show();
    browser.setConfig(&session);
    // Uploads go into the folder selected in the tree, so the tree must be there first.
    if (BrowserBench::refreshAndShow(browser) < 0) {
        out << "the browser showed no tree" << Qt::endl;
        return 1;
    }
    Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), QStringLiteral("S3RVER"),
                                  QStringLiteral("S3RVER"), QString());
    const qint64 idleKiB = statusKiB("VmRSS:");
    StallMeter stalls;
    QList<Measurement> results;
    const auto libraryLoop = [&](const std::function<Brenn_AWS::MPInfo()> &chunk) {
        try {
            Brenn_AWS::MPInfo info;
            do {
                info = chunk();
            } while (!info.finished);
            return info.transferred;
        } catch (const QAWSException &ex) {
            out << "library transfer failed: " << ex.message << Qt::endl;
            return qint64(-1);
        }
    };
    const auto upload = [&](const QString &file, const QString &key) {
        return libraryLoop([&] {
            return storage.UploadObjectMultipart(bucket, key, file,
                                                 QStringLiteral("application/octet-stream"));
        });
    };
    const auto download = [&](const QString &key, const QString &file) {
        return libraryLoop([&] { return storage.DownloadObjectMultipart(bucket, key, file); });
    };

    // s3rver compiles its hot paths during the first requests: paid before anything is timed.
    const QString warmUp = work.filePath(QStringLiteral("warm-up.bin"));
    if (!writeRandomFile(warmUp, 20 * MiB) || upload(warmUp, QStringLiteral("warm-up.bin")) < 0 ||
        download(QStringLiteral("warm-up.bin"), warmUp + QStringLiteral(".back")) < 0) {
        out << "the warm-up transfer failed" << Qt::endl;
        return 1;
    }
    results << measure(QStringLiteral("library: UploadObjectMultipart loop"), idleKiB, nullptr,
                       [&] { return upload(source, QStringLiteral("library.bin")) == size; });
    results << measure(QStringLiteral("queue: Zelt_S3::uploadFiles"), idleKiB, &stalls, [&] {
        return BrowserBench::queueUpload(browser, prompt, source, out, transferTimeoutMs);
    });
    results.last().ok =
        results.last().ok && storage.HasObject(bucket, QStringLiteral("source.bin")) == size;

    const QString libraryTarget = work.filePath(QStringLiteral("library-download.bin"));
    results << measure(
        QStringLiteral("library: DownloadObjectMultipart loop"), idleKiB, nullptr,
        [&] { return download(QStringLiteral("library.bin"), libraryTarget) == size; });
    results.last().ok = results.last().ok && sha256Of(libraryTarget) == sourceHash;
    QFile::remove(libraryTarget);

    const QString queueTarget = work.filePath(QStringLiteral("queue-download.bin"));
    results << measure(QStringLiteral("queue: Zelt_S3 download button"), idleKiB, &stalls, [&] {
        return BrowserBench::queueDownload(browser, prompt, QStringLiteral("source.bin"),
                                           queueTarget, out, transferTimeoutMs);
    });
    results.last().ok = results.last().ok && sha256Of(queueTarget) == sourceHash;

    out << QStringLiteral("%1 MiB over loopback to s3rver, default chunk sizes\n").arg(size / MiB);
    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg(QStringLiteral("transfer"), -38)
               .arg(QStringLiteral("MB/s"), 8)
               .arg(QStringLiteral("MiB above idle"), 15)
               .arg(QStringLiteral("longest stall ms"), 17)
               .arg(QStringLiteral("result"));
    for (const Measurement &m : std::as_const(results)) {
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(m.what, -38)
                   .arg(size / 1e6 / m.seconds, 8, 'f', 1)
                   .arg(m.aboveIdleKiB / 1024.0, 15, 'f', 1)
                   .arg(m.stallMs < 0 ? QStringLiteral("-") : QString::number(m.stallMs, 'f', 1),
                        17)
                   .arg(m.ok ? QStringLiteral("ok") : QStringLiteral("FAILED"));
    }

    out << QStringLiteral("\n%1 %2 %3 %4\n")
               .arg(QStringLiteral("target"), -38)
               .arg(QStringLiteral("measured"), 10)
               .arg(QStringLiteral("wanted"), 10)
               .arg(QString());
    bool allOk = true;
    const auto target = [&](const QString &what, double value, const QString &wanted, bool met) {
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(what, -38)
                   .arg(value, 10, 'f', 2)
                   .arg(wanted, 10)
                   .arg(BrowserBench::verdict(met));
    };
    for (const int direction : {0, 1}) {
        const Measurement &library = results.at(2 * direction);
        const Measurement &queued = results.at(2 * direction + 1);
        const QString name = direction == 0 ? QStringLiteral("upload") : QStringLiteral("download");
        allOk = allOk && library.ok && queued.ok;
        const double ratio = library.seconds / queued.seconds;
        target(QStringLiteral("queue/library throughput, ") + name, ratio,
               QStringLiteral(">= 0.95"), library.ok && queued.ok && ratio >= 0.95);
        target(QStringLiteral("MiB above idle, queue ") + name, queued.aboveIdleKiB / 1024.0,
               QStringLiteral("<= 32"), queued.ok && queued.aboveIdleKiB <= 32 * 1024);
        target(QStringLiteral("longest stall ms, queue ") + name, queued.stallMs,
               QStringLiteral("< 50"), queued.ok && queued.stallMs < 50);
    }
    return allOk ? 0 : 1;
}
