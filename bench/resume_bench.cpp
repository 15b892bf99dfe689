// A chunked upload through Brenn_AWS that another process continues: the whole upload, side by
// side with the same upload broken off at 80 % of its parts (the storage object dropped without
// an abort, as a crash leaves it) and continued from its kept state by a new storage object.
// Reports both times, their ratio, the time of ContinueUploadObjectMultipart alone (it hashes
// the parts the server already holds) and the parts the continuation sent. The server is the
// in-memory MultipartS3Peer, which keeps the object in memory; parts are the library's 5 MiB.
//
//     resume_bench [--size-mib N (1024)]
#include "BenchSupport.h"
#include "MultipartS3Peer.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtMath>

#include <unistd.h>

namespace {

using namespace BenchSupport;

const QString bucket = QStringLiteral("bench");
const QString contentType = QStringLiteral("application/octet-stream");
constexpr double brokenOffAt = 0.8;

double seconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e9;
}

// Calls until the upload is finished; true when it moved the whole file. `lastCall` is the time
// of the call that sent the last part and completed the upload.
bool finishUpload(Brenn_AWS::Storage_S3 &storage, const QString &key, const QString &source,
                  double &lastCall)
{
    Brenn_AWS::MPInfo info;
    do {
        QElapsedTimer timer;
        timer.start();
        info = storage.UploadObjectMultipart(bucket, key, source, contentType);
        lastCall = seconds(timer);
    } while (!info.finished);
    return info.transferred == QFileInfo(source).size();
}

// Uploads until the server confirmed `brokenOffAt` of the parts, then drops the storage object
// without aborting; returns the state kept after the last chunk.
Brenn_AWS::UploadState breakOffUpload(const QString &endpoint, const QString &key,
                                      const QString &source, int &totalParts)
{
    Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, endpoint, QStringLiteral("key"),
                                  QStringLiteral("secret"), QString());
    const qint64 size = QFileInfo(source).size();
    Brenn_AWS::UploadState state;
    do {
        storage.UploadObjectMultipart(bucket, key, source, contentType);
        state = storage.UploadObjectMultipartState();
        totalParts = int((size + state.partSize - 1) / state.partSize);
    } while (state.parts.size() < qCeil(totalParts * brokenOffAt));
    return state;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sizeOption = sizeMibOption(QStringLiteral("File"), 1024);
    parser.addOption(sizeOption);
    parser.process(application);
    const qint64 size = qMax(1LL, parser.value(sizeOption).toLongLong()) * MiB;
    QTextStream out(stdout);

    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("source.bin"));
    if (!writeRandomFile(source, size)) {
        out << "cannot write " << source << Qt::endl;
        return 1;
    }
    MultipartS3Peer peer;
    bool ok = true;
    double whole = 0, continuation = 0, continueCall = 0, wholeLast = 0, continuationLast = 0;
    int totalParts = 0, partsKept = 0;
    qsizetype partsSent = 0;
    try {
        {
            Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), QStringLiteral("key"),
                                          QStringLiteral("secret"), QString());
            ::sync();
            QElapsedTimer timer;
            timer.start();
            ok = finishUpload(storage, QStringLiteral("whole.bin"), source, wholeLast);
            whole = seconds(timer);
            storage.DeleteObject(bucket, QStringLiteral("whole.bin")); // the peer's memory
        }

        const Brenn_AWS::UploadState state =
            breakOffUpload(peer.endpoint(), QStringLiteral("continued.bin"), source, totalParts);
        partsKept = int(state.parts.size());
        peer.clearLog();
        ::sync();
        QElapsedTimer timer;
        timer.start();
        Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), QStringLiteral("key"),
                                      QStringLiteral("secret"), QString());
        QElapsedTimer continueTimer;
        continueTimer.start();
        storage.ContinueUploadObjectMultipart(state);
        continueCall = seconds(continueTimer);
        ok = finishUpload(storage, state.key, state.localFile, continuationLast) && ok;
        continuation = seconds(timer);
        partsSent = peer.partsSent().size();
        ok = ok && peer.object(bucket, state.key).size() == size;
    } catch (const QAWSException &exception) {
        out << "failed: " << exception.message << Qt::endl;
        return 1;
    }

    out << QStringLiteral("%1 MiB in %2 parts of 5 MiB, loopback to MultipartS3Peer, broken off "
                          "after %3 parts\n")
               .arg(size / MiB)
               .arg(totalParts)
               .arg(partsKept);
    const auto row = [&out, size](const QString &what, double time) {
        out << QStringLiteral("%1 %2 s %3 MB/s of the file\n")
                   .arg(what, -36)
                   .arg(time, 8, 'f', 3)
                   .arg(size / 1e6 / time, 8, 'f', 1);
    };
    row(QStringLiteral("whole upload"), whole);
    row(QStringLiteral("  its last chunk and completion"), wholeLast);
    row(QStringLiteral("continuation"), continuation);
    row(QStringLiteral("  ContinueUploadObjectMultipart"), continueCall);
    row(QStringLiteral("  its last chunk and completion"), continuationLast);
    out << QStringLiteral("continuation / whole %1 (target at most 0.25; the parts left are "
                          "%2 of the whole)\n")
               .arg(continuation / whole, 0, 'f', 3)
               .arg(double(totalParts - partsKept) / totalParts, 0, 'f', 3);
    out << QStringLiteral("parts sent by the continuation %1 (left after the break %2)\n")
               .arg(partsSent)
               .arg(totalParts - partsKept);
    out << (ok ? "result ok" : "result FAILED") << Qt::endl;
    return ok ? 0 : 1;
}
