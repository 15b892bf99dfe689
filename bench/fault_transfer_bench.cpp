// A 256 MiB upload through the S3 browser's queue against s3rver, once directly and once
// through a proxy that resets every tenth request's connection: the time to finish each, the
// retries the queue made, and whether the object arrived intact.
//
//     fault_transfer_bench [--size-mib N (256)] [--period N (10)]
#include "BenchSupport.h"
#include "BrowserBench.h"
#include "FaultProxy.h"
#include "S3Peer.h"
#include "ScriptedPrompt.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>

#include <unistd.h>

namespace {

using namespace BenchSupport;

const QString bucket = QStringLiteral("bench");

struct Run
{
    double seconds = -1;
    qsizetype retries = 0;
    bool intact = false;
};

// Each run uploads a link to the source under its own name, so that no overwrite question
// comes up.
Run uploadThrough(const QString &endpoint, const QString &source, const QString &name,
                  Brenn_AWS::Storage_S3 &check)
{
    const QString file = QFileInfo(source).dir().filePath(name);
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(file).constData()) != 0)
        return {};
    ScriptedPrompt prompt;
    Zelt_LoginData session = BrowserBench::administrator(endpoint, bucket);
    Zelt_S3 browser;
    browser.resize(1000, 700);
    browser.show();
    browser.setConfig(&session);
    Run run;
    if (BrowserBench::refreshAndShow(browser) < 0)
        return run;
    QSignalSpy retries(&browser, &Zelt_S3::transferRetry);
    QElapsedTimer timer;
    timer.start();
    browser.uploadFiles({file});
    const bool ended = BrowserBench::waitFor(&browser, &Zelt_S3::endUploadDownload, 30 * 60 * 1000);
    run.seconds = timer.nsecsElapsed() / 1e9;
    for (const ScriptedPrompt::Shown &shown : std::as_const(prompt.shown))
        QTextStream(stdout) << "prompt shown: " << shown.title << ": " << shown.text << Qt::endl;
    run.retries = retries.size();
    QByteArray stored;
    check.DownloadObject(bucket, name, stored);
    QFile original(source);
    run.intact = ended && prompt.shown.isEmpty() && original.open(QIODevice::ReadOnly) &&
                 stored == original.readAll();
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    offscreenUnlessChosen();
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption = sizeMibOption(QStringLiteral("File"), 256);
    const QCommandLineOption periodOption(QStringLiteral("period"),
                                          QStringLiteral("Reset every n-th request (10)."),
                                          QStringLiteral("n"), QStringLiteral("10"));
    parser.addOptions({sizeOption, periodOption});
    parser.process(application);
    const qint64 size = parser.value(sizeOption).toLongLong() * MiB;
    const int period = parser.value(periodOption).toInt();
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
    Brenn_AWS::Storage_S3 check(Brenn_AWS::MinIO, peer.endpoint(), QStringLiteral("S3RVER"),
                                QStringLiteral("S3RVER"), QString());
    // The first run also pays for s3rver compiling its hot paths; the direct run goes first so
    // that this counts against it, not against the faults.
    uploadThrough(peer.endpoint(), source, QStringLiteral("warm-up.bin"), check);
    const Run direct = uploadThrough(peer.endpoint(), source, QStringLiteral("direct.bin"), check);
    FaultProxy proxy(peer.port());
    if (!proxy.start()) {
        out << "cannot start the proxy" << Qt::endl;
        return 1;
    }
    proxy.spoilEvery(period, FaultProxy::Fault::Reset);
    const Run faulty = uploadThrough(proxy.url(), source, QStringLiteral("faulty.bin"), check);
    const qsizetype requests = proxy.requestLines().size();

    out << QStringLiteral("%1 MiB upload through the queue over loopback to s3rver\n")
               .arg(size / MiB);
    const auto row = [&](const QString &what, const Run &run) {
        out << QStringLiteral("%1 %2 s %3 retries  %4\n")
                   .arg(what, -34)
                   .arg(run.seconds, 8, 'f', 2)
                   .arg(run.retries, 3)
                   .arg(run.intact ? QStringLiteral("intact") : QStringLiteral("FAILED"));
    };
    row(QStringLiteral("direct"), direct);
    row(QStringLiteral("every %1th connection reset").arg(period), faulty);
    out << QStringLiteral("%1 requests through the proxy, %2 reset; faulty/direct time %3\n")
               .arg(requests)
               .arg(period > 0 ? requests / period : 0)
               .arg(faulty.seconds / direct.seconds, 0, 'f', 2);
    return direct.intact && faulty.intact ? 0 : 1;
}
