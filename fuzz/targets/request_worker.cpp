// The request worker's handling of a reply: header lines ("Name: value") up to an empty line,
// then the body. Attachments are saved into a scratch folder and must stay inside it.
#include "FuzzSupport.h"

#include "ZeltHttpRequestWorker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Zelt_Common_API;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceQtMessages();
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzInput(data, size);
    const qsizetype headEnd = input.indexOf("\n\n");
    const QByteArray head = headEnd < 0 ? input : input.left(headEnd);
    const QByteArray body = headEnd < 0 ? QByteArray() : input.mid(headEnd + 2);
    QList<QNetworkReply::RawHeaderPair> headers;
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }

    ZeltHttpRequestWorker worker;
    worker.setWorkingDirectory(fuzzScratch().path());
    worker.readReply(headers, body);
    const auto files = worker.receivedFiles();
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        // The file the worker wrote, by the path it used: QDir::filePath would take a name that
        // starts with ':' for a resource path and judge a file that was never written.
        const QFileInfo saved(it.value().local_filename);
        FUZZ_CHECK(saved.absolutePath() == QDir(fuzzScratch().path()).absolutePath());
        FUZZ_CHECK(it.key() != QLatin1String("..") && it.key() != QLatin1String("."));
        QFile::remove(saved.absoluteFilePath());
    }
    return 0;
}
