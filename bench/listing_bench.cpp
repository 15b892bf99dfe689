// A bucket of 10,000 objects listed with sizes and ETags and shown in the S3 browser's tree:
// (a) through the worker, which takes sizes and ETags from the listing pages, against (b) the
// old way in the same run, a listing and then one HEAD per key.
//
//     listing_bench [--objects N] [--put] [--rounds N] [--flat] [--link-mbit N --rtt-ms N]
//
// The objects are written straight into s3rver's data folder (object, MD5 and metadata file,
// as s3rver stores them), or with --put one PUT each through Brenn_AWS. Either way (b) checks
// every size and ETag against what was written, and both ways must build the same tree. With
// --link-mbit, every request goes over a link of that rate and --rtt-ms round trip (a FaultProxy
// in front of s3rver).
#include "BenchSupport.h"
#include "BrowserBench.h"
#include "FaultProxy.h"
#include "S3Peer.h"
#include "ScriptedPrompt.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QTextStream>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

namespace {

const QString bucket = QStringLiteral("listing");

// 100 files a folder: the first hundred at the top, the others in dept<d>/topic<t>/. Flat, all
// of them at the top, where the browser lists them in its file table at once.
bool flat = false;
QString keyOf(int i)
{
    static const char *const endings[] = {".png", ".pdf", ".mp4", ".txt", ".fbx"};
    const int group = flat ? 0 : i / 100;
    const QString folder =
        group == 0 ? QString() : QStringLiteral("dept%1/topic%2/").arg(group / 10).arg(group % 10);
    return folder + QStringLiteral("file%1").arg(i, 5, 10, QLatin1Char('0')) +
           QLatin1String(endings[i % 5]);
}

QByteArray contentOf(int i)
{
    return QByteArray::number(i).repeated(1 + i % 300);
}

QString eTagOf(const QByteArray &content)
{
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeIntoStore(const QString &bucketDir, const QString &key, const QByteArray &content)
{
    const QString base = bucketDir + QLatin1Char('/') + key;
    return QDir().mkpath(QFileInfo(base).absolutePath()) &&
           writeFile(base + QStringLiteral("._S3rver_object"), content) &&
           writeFile(base + QStringLiteral("._S3rver_object.md5"), eTagOf(content).toLatin1()) &&
           writeFile(base + QStringLiteral("._S3rver_metadata.json"),
                     R"({"content-type": "application/octet-stream"})");
}

// Each folder's path and files, in tree order.
QList<std::pair<QString, QJsonArray>> treeOf(QTreeWidget *tree)
{
    QList<std::pair<QString, QJsonArray>> folders;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        folders.append(
            {(*it)->data(1, Qt::UserRole).toString(), (*it)->data(0, Qt::UserRole).toJsonArray()});
    return folders;
}

qsizetype filesIn(const QList<std::pair<QString, QJsonArray>> &folders)
{
    qsizetype files = 0;
    for (const auto &folder : folders)
        files += folder.second.size();
    return files;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchSupport::offscreenUnlessChosen();
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption objectsOption(QStringLiteral("objects"),
                                           QStringLiteral("Objects in the bucket (10000)."),
                                           QStringLiteral("n"), QStringLiteral("10000"));
    const QCommandLineOption putOption(QStringLiteral("put"),
                                       QStringLiteral("Write the objects with one PUT each."));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"),
                                          QStringLiteral("Refreshes timed for (a) (3)."),
                                          QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption flatOption(QStringLiteral("flat"),
                                        QStringLiteral("Every object in the top folder."));
    const QCommandLineOption linkOption(
        QStringLiteral("link-mbit"),
        QStringLiteral("Over a link of this rate in Mbit/s (none: loopback)."),
        QStringLiteral("n"));
    const QCommandLineOption rttOption(QStringLiteral("rtt-ms"),
                                       QStringLiteral("The link's round trip in ms (40)."),
                                       QStringLiteral("n"), QStringLiteral("40"));
    parser.addOptions({objectsOption, putOption, roundsOption, flatOption, linkOption, rttOption});
    parser.process(application);
    flat = parser.isSet(flatOption);
    const int objects = parser.value(objectsOption).toInt();
    const int rounds = qMax(1, parser.value(roundsOption).toInt());
    QTextStream out(stdout);

    S3Peer peer;
    if (!peer.start({bucket})) {
        out << "cannot start s3rver: " << peer.errorString() << Qt::endl;
        return 1;
    }
    QString endpoint = peer.endpoint();
    std::unique_ptr<FaultProxy> link;
    if (parser.isSet(linkOption)) {
        link = std::make_unique<FaultProxy>(quint16(QUrl(endpoint).port()));
        if (!link->start()) {
            out << "cannot start the link" << Qt::endl;
            return 1;
        }
        link->limitRate(parser.value(linkOption).toLongLong() * 1000 * 1000 / 8);
        link->setRoundTrip(std::chrono::milliseconds(parser.value(rttOption).toInt()));
        endpoint = link->url();
        out << "over a link of " << parser.value(linkOption) << " Mbit/s, "
            << parser.value(rttOption) << " ms round trip" << Qt::endl;
    }
    Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, endpoint, QStringLiteral("S3RVER"),
                                  QStringLiteral("S3RVER"), QString());
    QHash<QString, Brenn_AWS::ObjectInfo> expected;
    QString seedError;
    QElapsedTimer seeding;
    seeding.start();
    for (int i = 0; i < objects && seedError.isEmpty(); ++i) {
        const QByteArray content = contentOf(i);
        expected.insert(keyOf(i), {content.size(), eTagOf(content)});
        if (!parser.isSet(putOption)) {
            if (!writeIntoStore(peer.dataDir() + QLatin1Char('/') + bucket, keyOf(i), content))
                seedError = QStringLiteral("cannot write into ") + peer.dataDir();
            continue;
        }
        try {
            storage.UploadObject(bucket, keyOf(i), content);
        } catch (const QAWSException &ex) {
            seedError = ex.message;
        }
    }
    if (!seedError.isEmpty()) {
        out << "cannot fill the bucket: " << seedError << Qt::endl;
        return 1;
    }
    const double seedSeconds = seeding.nsecsElapsed() / 1e9;

    ScriptedPrompt prompt; // nothing should ask; whatever does is reported
    Zelt_LoginData session = BrowserBench::administrator(endpoint, bucket);
    Zelt_S3 browser;
    browser.resize(1000, 700);
    browser.show();
    browser.setConfig(&session);
    auto *tree = browser.findChild<QTreeWidget *>(QStringLiteral("S3TreeWidget"));

    // The median of a few refreshes: s3rver's first requests also pay for its JIT compiler.
    QList<double> refreshes;
    for (int round = 0; round < rounds; ++round)
        refreshes << BrowserBench::refreshAndShow(browser);
    QList<double> sorted = refreshes;
    std::sort(sorted.begin(), sorted.end());
    const double worker = sorted.first() < 0 ? -1 : sorted.at(sorted.size() / 2);
    const auto workerTree = treeOf(tree);

    // Where (a)'s time goes: the same listing on this thread, then the tree from it alone.
    double listingOnly = -1;
    double treeOnly = -1;
    QElapsedTimer timer;
    try {
        QStringList keys;
        QList<Brenn_AWS::ObjectInfo> infos;
        timer.start();
        storage.ListObjectsWithInfo(bucket, QString(), keys, infos);
        listingOnly = timer.nsecsElapsed() / 1e9;
        QStringList sizes;
        QStringList eTags;
        for (const Brenn_AWS::ObjectInfo &info : std::as_const(infos)) {
            sizes << QString::number(info.size);
            eTags << info.eTag;
        }
        timer.start();
        browser.onListSizesFinished(keys, sizes, eTags);
        browser.repaint();
        treeOnly = timer.nsecsElapsed() / 1e9;
    } catch (const QAWSException &ex) {
        out << "listing failed: " << ex.message << Qt::endl;
    }

    // The old way, on the GUI thread as it used to run; the browser shows what it found.
    bool headsMatch = false;
    double keysOnly = -1;
    timer.start();
    try {
        QStringList keys;
        storage.ListObjects(bucket, QString(), keys);
        keysOnly = timer.nsecsElapsed() / 1e9;
        QStringList sizes;
        QStringList eTags;
        for (const QString &key : std::as_const(keys)) {
            const Brenn_AWS::ObjectInfo info = storage.GetObjectInfo(bucket, key);
            sizes << QString::number(info.size);
            eTags << info.eTag;
        }
        browser.onListSizesFinished(keys, sizes, eTags);
        browser.repaint();
        headsMatch = keys.size() == objects;
        for (qsizetype i = 0; headsMatch && i < keys.size(); ++i) {
            const Brenn_AWS::ObjectInfo written = expected.value(keys.at(i));
            headsMatch =
                sizes.at(i) == QString::number(written.size) && eTags.at(i) == written.eTag;
        }
    } catch (const QAWSException &ex) {
        out << "old way failed: " << ex.message << Qt::endl;
    }
    const double perKey = timer.nsecsElapsed() / 1e9;
    const auto perKeyTree = treeOf(tree);

    const bool workerOk = worker > 0 && filesIn(workerTree) == objects && workerTree == perKeyTree;
    const bool perKeyOk = headsMatch && filesIn(perKeyTree) == objects;
    out << QStringLiteral("%1 objects in %2 folders, seeded in %3 s %4\n")
               .arg(objects)
               .arg(workerTree.size())
               .arg(seedSeconds, 0, 'f', 1)
               .arg(parser.isSet(putOption) ? QStringLiteral("with one PUT each")
                                            : QStringLiteral("straight into s3rver's data folder"));
    const auto row = [&](const QString &what, double seconds, bool ok) {
        out << QStringLiteral("%1 %2 %3\n")
                   .arg(what, -58)
                   .arg(seconds, 9, 'f', 3)
                   .arg(ok ? QStringLiteral("ok") : QStringLiteral("FAILED"));
    };
    out << QStringLiteral("%1 %2 %3\n")
               .arg(QStringLiteral("listed with sizes and shown"), -58)
               .arg(QStringLiteral("seconds"), 9)
               .arg(QStringLiteral("result"));
    row(QStringLiteral("(a) worker: ListObjectsWithInfo, 1 request per 1,000 keys"), worker,
        workerOk);
    QStringList each;
    for (const double seconds : std::as_const(refreshes))
        each << QString::number(seconds, 'f', 3);
    out << QStringLiteral("    median of %1 refreshes: %2\n").arg(rounds).arg(each.join(' '));
    row(QStringLiteral("    the same listing alone, on the GUI thread"), listingOnly,
        listingOnly > 0);
    row(QStringLiteral("    the tree built and shown from it alone"), treeOnly, treeOnly > 0);
    row(QStringLiteral("(b) ListObjects, then GetObjectInfo (HEAD) per key"), perKey, perKeyOk);
    row(QStringLiteral("    of which ListObjects"), keysOnly, keysOnly > 0);
    const double ratio = worker > 0 ? perKey / worker : 0;
    out << QStringLiteral("\n%1 %2 %3 %4\n")
               .arg(QStringLiteral("target"), -24)
               .arg(QStringLiteral("measured"), 10)
               .arg(QStringLiteral("wanted"), 8)
               .arg(QString());
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(QStringLiteral("(a) seconds"), -24)
               .arg(worker, 10, 'f', 3)
               .arg(QStringLiteral("< 2"), 8)
               .arg(BrowserBench::verdict(workerOk && worker < 2));
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(QStringLiteral("(b) / (a)"), -24)
               .arg(ratio, 10, 'f', 1)
               .arg(QStringLiteral(">= 20"), 8)
               .arg(BrowserBench::verdict(workerOk && perKeyOk && ratio >= 20));
    for (const ScriptedPrompt::Shown &shown : std::as_const(prompt.shown))
        out << "prompt shown: " << shown.title << ": " << shown.text << '\n';
    return workerOk && perKeyOk ? 0 : 1;
}
