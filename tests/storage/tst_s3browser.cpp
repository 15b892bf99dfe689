// The S3 browser and its transfer queue, driven as a user would, against s3rver (and, where the
// wire matters, a scripted S3 peer): what the storage holds afterwards, what the queue showed,
// which questions and messages came.
#include "FaultProxy.h"
#include "MultipartS3Peer.h"
#include "RecordingHttpServer.h"
#include "S3TransferQueue.h"
#include "ScriptedPrompt.h"
#include "StorageTestSupport.h"
#include "Zelt_LoginData.h"
#include "Zelt_QueueTableWidget.h"
#include "Zelt_S3.h"
#include "Zelt_S3Worker.h"

#include <QCryptographicHash>
#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>

#include <QMimeData>
#include <QSemaphore>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <atomic>

using namespace StorageTest;
using Brenn_AWS::Storage_S3;

namespace {
constexpr qint64 MiB = 1024 * 1024;
constexpr int TransferTimeout = 60000;

struct Progress
{
    int mode;
    QString key;
    qint64 size;
    qint64 done;
    int speed;
};
} // namespace

class tst_S3Browser : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void uploadsRunOneAfterAnother();
    void overwriteQuestions();
    void pauseHoldsTheQueueAndResumesWithoutRestart();
    void abortEndsTheMultipartUpload_data();
    void abortEndsTheMultipartUpload();
    void passingFailuresAreRetried_data();
    void passingFailuresAreRetried();
    void administratorBrowsesFoldersAndFiles();
    void userSeesOnlyTheirFolder();
    void droppedFilesAndFoldersUploadIntoTheFolder();
    void failedTransferStaysShownAndResumesWhenRetried_data();
    void failedTransferStaysShownAndResumesWhenRetried();
    void credentialRenewalKeepsTheTransfer_data();
    void credentialRenewalKeepsTheTransfer();
    void faultsOnTheWayAreRetriedOrCaught_data();
    void faultsOnTheWayAreRetriedOrCaught();
    void lostConnectionIsWaitedFor();
    void interruptedUploadIsTakenUpAgain_data();
    void interruptedUploadIsTakenUpAgain();
    void interruptedDownloadIsTakenUpAgain_data();
    void interruptedDownloadIsTakenUpAgain();
    void unfinishedUploadsAreListedAndAborted();
    void pauseOrAbortBeforeTheStartReachesThatTransfer_data();
    void pauseOrAbortBeforeTheStartReachesThatTransfer();
    void refreshLeavesEarlierEntriesWithTheirTarget();
    void deleteKeyDropsTheEntryOfItsRow();

private:
    // Opens a browser on endpoint (s3rver unless given) as a MinIO user with static keys.
    void openBrowser(const QStringList &roles, const QString &folder = {},
                     const QString &endpoint = {});
    Storage_S3 &direct();
    QString localFile(const QString &name, qint64 size, quint32 seed = 1);
    QTreeWidget *tree() const { return browser->findChild<QTreeWidget *>("S3TreeWidget"); }
    QTableWidget *files() const { return browser->findChild<QTableWidget *>("S3TableWidget"); }
    QTreeWidgetItem *folder(const QString &name) const;
    QStringList fileTexts() const;
    void selectFiles(const QStringList &names);
    bool waitForIdle() const;
    // Runs act as soon as the first part of a transfer is reported, while later parts are
    // still to come.
    void afterFirstPart(const std::function<void()> &act);
    // Runs start (a transfer of big.bin), holds the transfer after its first part, so that a
    // fast machine cannot finish it first, and ends the console there without an abort.
    bool endConsoleInTheMiddle(const std::function<void()> &start);
    QList<Progress> progressOf(const QString &key) const;
    // A 24 MiB "big.bin" moved through the queue: uploaded, or (stored first) downloaded to
    // copy.bin; and whether it arrived intact.
    QString bigFile(bool upload);
    void transferBig(bool upload, const QString &big);
    bool bigArrived(bool upload);
    int zeroStarts(const QString &key) const;
    QToolButton *pauseButton() const { return browser->findChild<QToolButton *>("btnPause"); }
    // Runs work on the browser's worker thread, after everything sent there before.
    void onWorker(const std::function<void()> &work,
                  Qt::ConnectionType type = Qt::BlockingQueuedConnection);

    S3Peer peer;
    QString bucket;
    int buckets = 0;
    std::unique_ptr<Storage_S3> storage;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedPrompt> prompt;
    Zelt_LoginData session;
    std::unique_ptr<Zelt_S3> browser;
    std::unique_ptr<Zelt_QueueTableWidget> queueTable;
    QList<QList<S3QueueEntry>> queues;
    // The signed-in user; with one, the queue is kept on disk.
    QString owner;
    QList<Progress> progress;
    // Holds the worker's thread: what the queue hands out meanwhile has not started.
    QSemaphore workerGate;
};

void tst_S3Browser::init()
{
    // One part or range at a time, so that the order of the requests is known; parts in flight
    // side by side have tests of their own.
    Zelt_S3Worker::setTransferConcurrency(1);
    if (!peer.isRunning())
        QVERIFY2(peer.start(), qPrintable(peer.errorString()));
    bucket = QStringLiteral("media%1").arg(++buckets);
    QVERIFY(peer.createBucket(bucket));
    dir = std::make_unique<QTemporaryDir>();
    prompt = std::make_unique<ScriptedPrompt>();
    queues.clear();
    progress.clear();
    owner.clear();
}

void tst_S3Browser::cleanup()
{
    queueTable.reset();
    browser.reset();
    prompt.reset();
    storage.reset();
}

Storage_S3 &tst_S3Browser::direct()
{
    if (!storage)
        storage = std::make_unique<Storage_S3>(Brenn_AWS::MinIO, peer.endpoint(), accessKey,
                                               secretKey, QString());
    return *storage;
}

void tst_S3Browser::openBrowser(const QStringList &roles, const QString &folder,
                                const QString &endpoint)
{
    session = Zelt_LoginData();
    session.storageMode = Zelt_LoginData::MinIO;
    session.storageAddress = endpoint.isEmpty() ? peer.endpoint() : endpoint;
    session.storageUser = accessKey;
    session.storagePassword = secretKey;
    session.storageBucket = bucket;
    session.storageFolder = folder;
    session.roles = roles;
    session.userId = owner;
    browser = std::make_unique<Zelt_S3>();
    queueTable = std::make_unique<Zelt_QueueTableWidget>();
    connect(browser.get(), &Zelt_S3::updateQueue, queueTable.get(),
            [this](const QList<S3QueueEntry> &entries) {
                queues.append(entries);
                queueTable->showEntries(entries);
            });
    connect(queueTable.get(), &Zelt_QueueTableWidget::deleteSlot, browser.get(),
            &Zelt_S3::onDeleteSlot);
    connect(browser.get(), &Zelt_S3::transferProgress, browser.get(),
            [this](int mode, QString, QString key, qlonglong size, qlonglong done, int speed) {
                progress.append({mode, key, size, done, speed});
            });
    browser->setConfig(&session);
    browser->on_btnS3Refresh_clicked();
    QTRY_VERIFY(tree()->topLevelItemCount() == 1 && tree()->currentItem());
}

QString tst_S3Browser::localFile(const QString &name, qint64 size, quint32 seed)
{
    const QString path = dir->filePath(name);
    writeFile(path, patternBytes(size, seed));
    return path;
}

QTreeWidgetItem *tst_S3Browser::folder(const QString &name) const
{
    const QList<QTreeWidgetItem *> found =
        tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList tst_S3Browser::fileTexts() const
{
    QStringList texts;
    for (int row = 0; row < files()->rowCount(); ++row)
        texts << files()->item(row, 0)->text() + " " + files()->item(row, 1)->text();
    return texts;
}

void tst_S3Browser::selectFiles(const QStringList &names)
{
    files()->clearSelection();
    for (int row = 0; row < files()->rowCount(); ++row) {
        if (names.contains(files()->item(row, 0)->text()))
            files()->selectionModel()->select(files()->model()->index(row, 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    }
}

bool tst_S3Browser::waitForIdle() const
{
    return QTest::qWaitFor([this] { return browser->isQueueIdle(); }, TransferTimeout);
}

bool tst_S3Browser::endConsoleInTheMiddle(const std::function<void()> &start)
{
    afterFirstPart([this] { browser->pauseTransfer(); });
    start();
    const bool held = QTest::qWaitFor(
        [this] {
            const QList<Progress> shown = progressOf("big.bin");
            return !shown.isEmpty() && shown.last().done > 0 && shown.last().speed == 0;
        },
        TransferTimeout);
    browser.reset();
    queues.clear();
    return held;
}

void tst_S3Browser::afterFirstPart(const std::function<void()> &act)
{
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(browser.get(), &Zelt_S3::transferProgress, this,
                    [once, act](int, QString, QString, qlonglong, qlonglong done) {
                        if (done > 0) {
                            disconnect(*once);
                            act();
                        }
                    });
}

QList<Progress> tst_S3Browser::progressOf(const QString &key) const
{
    QList<Progress> found;
    for (const Progress &p : progress) {
        if (p.key == key)
            found << p;
    }
    return found;
}

QString tst_S3Browser::bigFile(bool upload)
{
    const QString big = localFile("big.bin", 24 * MiB);
    if (!upload)
        direct().UploadObject(bucket, "big.bin", big);
    return big;
}

void tst_S3Browser::transferBig(bool upload, const QString &big)
{
    if (upload) {
        browser->uploadFiles({big});
        return;
    }
    const QString target = dir->filePath("copy.bin");
    selectFiles({"big.bin"});
    prompt->answer(target);
    browser->on_btnS3Download_clicked();
}

bool tst_S3Browser::bigArrived(bool upload)
{
    QByteArray arrived;
    if (upload)
        direct().DownloadObject(bucket, "big.bin", arrived);
    else
        arrived = readFile(dir->filePath("copy.bin"));
    return arrived == patternBytes(24 * MiB);
}

int tst_S3Browser::zeroStarts(const QString &key) const
{
    int count = 0;
    for (const Progress &p : progressOf(key))
        count += p.size == 0 && p.done == 0;
    return count;
}

void tst_S3Browser::onWorker(const std::function<void()> &work, Qt::ConnectionType type)
{
    auto *context = new QObject;
    context->moveToThread(browser->findChild<QThread *>());
    connect(context->thread(), &QThread::finished, context, &QObject::deleteLater);
    QMetaObject::invokeMethod(context, work, type);
}

void tst_S3Browser::uploadsRunOneAfterAnother()
{
    openBrowser({"Zelt_Administrator"});
    QSignalSpy ended(browser.get(), &Zelt_S3::endUploadDownload);
    const QStringList local{localFile("one.txt", 3 * MiB), localFile("gone.txt", 1),
                            localFile("empty.txt", 0), localFile("two b#%+ä.txt", 10),
                            localFile("model.FBX", 20)};
    browser->uploadFiles(local);
    QFile::remove(local.at(1)); // vanishes before its turn

    QVERIFY(waitForIdle());
    QCOMPARE(queues.first().size(), 5);
    QCOMPARE(queues.first().at(0).status, int(S3QueueEntry::InProgress));
    QCOMPARE(queues.first().at(4).status, int(S3QueueEntry::Queued));
    QCOMPARE(prompt->titles(Prompt::Kind::Critical), QStringList{"Upload Error"});
    for (const QList<S3QueueEntry> &shown : std::as_const(queues)) {
        int running = 0;
        for (const S3QueueEntry &entry : shown)
            running += entry.status == S3QueueEntry::InProgress;
        QVERIFY(running <= 1);
    }
    // The vanished file stays shown as failed, with its reason.
    QCOMPARE(queues.last().size(), 1);
    QCOMPARE(queues.last().first().remote, "gone.txt");
    QCOMPARE(queues.last().first().status, int(S3QueueEntry::Failed));
    QVERIFY(!queues.last().first().reason.isEmpty());
    QCOMPARE(ended.size(), 1);
    QCOMPARE(direct().GetObjectSize(bucket, "one.txt"), 3 * MiB);
    QCOMPARE(direct().GetObjectSize(bucket, "two b#%+ä.txt"), 10);
    QCOMPARE(direct().GetObjectSize(bucket, "empty.txt"), 0);
    QCOMPARE(fileTexts(), QStringList({"empty.txt 0 KB", "model.FBX 0 KB", "one.txt 3 MB",
                                       "two b#%+ä.txt 0 KB"}));
    const QByteArray metadata =
        readFile(peer.dataDir() + "/" + bucket + "/model.FBX._S3rver_metadata.json");
    QCOMPARE(QJsonDocument::fromJson(metadata).object().value("content-type").toString(),
             "text/plain");
}

void tst_S3Browser::overwriteQuestions()
{
    direct().UploadObject(bucket, "a.txt", QByteArray("old a"));
    direct().UploadObject(bucket, "b.txt", QByteArray("old b"));
    openBrowser({"Zelt_Administrator"});
    const QStringList local{localFile("a.txt", 4), localFile("b.txt", 6)};

    prompt->answerButton(Prompt::NoToAll);
    browser->uploadFiles(local);
    QVERIFY(waitForIdle());
    QCOMPARE(direct().GetObjectSize(bucket, "b.txt"), 5);
    prompt->answerButton(Prompt::YesToAll);
    browser->uploadFiles(local);
    QVERIFY(waitForIdle());
    QCOMPARE(prompt->titles(Prompt::Kind::Question), QStringList({"Overwrite?", "Overwrite?"}));
    QCOMPARE(prompt->texts(Prompt::Kind::Question).first(),
             "File a.txt already exists on the Server. Overwrite?");
    QCOMPARE(direct().GetObjectSize(bucket, "b.txt"), 6);

    // No to All for a download is remembered for the browser's life.
    selectFiles({"a.txt"});
    prompt->answer(local.at(0));
    prompt->answerButton(Prompt::NoToAll);
    browser->on_btnS3Download_clicked();
    selectFiles({"b.txt"});
    prompt->answer(local.at(1));
    browser->on_btnS3Download_clicked();
    QVERIFY(waitForIdle());
    QCOMPARE(prompt->texts(Prompt::Kind::Question).last(), "Overwrite " + local.at(0) + "?");
    QCOMPARE(prompt->texts(Prompt::Kind::Question).size(), 3);
    QCOMPARE(queues.last().size(), 0);

    // A folder that cannot be written to fails the download, with its message.
    selectFiles({"a.txt"});
    prompt->answer(dir->filePath("missing/a.txt"));
    browser->on_btnS3Download_clicked();
    QVERIFY(waitForIdle());
    QCOMPARE(prompt->titles(Prompt::Kind::Critical), QStringList{"An error has occurred"});
}

void tst_S3Browser::pauseHoldsTheQueueAndResumesWithoutRestart()
{
    openBrowser({"Zelt_Administrator"});
    const qint64 size = 40 * MiB;
    const QString big = localFile("big.bin", size);
    afterFirstPart([this] { browser->pauseTransfer(); });
    browser->uploadFiles({big});
    QTRY_VERIFY_WITH_TIMEOUT(!progressOf("big.bin").isEmpty() &&
                                 progressOf("big.bin").last().speed == 0 &&
                                 progressOf("big.bin").last().done > 0,
                             TransferTimeout);
    const qint64 pausedAt = progressOf("big.bin").last().done;
    QVERIFY(pausedAt < size);
    QCOMPARE(queues.last().first().status, int(S3QueueEntry::Paused));

    // Entries added meanwhile wait for the paused one; the button still offers to resume.
    browser->uploadFiles({localFile("small.txt", 3)});
    QTest::qWait(200);
    QCOMPARE(queues.last().size(), 2);
    QCOMPARE(queues.last().at(1).status, int(S3QueueEntry::Queued));
    QCOMPARE(progressOf("big.bin").last().done, pausedAt);
    QVERIFY(pauseButton()->isChecked());

    pauseButton()->click();
    QVERIFY(waitForIdle());
    QCOMPARE(zeroStarts("big.bin"), 1);
    QByteArray stored;
    direct().DownloadObject(bucket, "big.bin", stored);
    QVERIFY(stored == patternBytes(size));
    QCOMPARE(direct().GetObjectSize(bucket, "small.txt"), 3);
}

void tst_S3Browser::abortEndsTheMultipartUpload_data()
{
    QTest::addColumn<bool>("paused");
    QTest::newRow("while running") << false;
    QTest::newRow("while paused") << true;
}

void tst_S3Browser::abortEndsTheMultipartUpload()
{
    QFETCH(bool, paused);
    // A peer that holds the second part, so that the transfer is caught in the middle.
    RecordingHttpServer s3(RecordingHttpServer::OnOwnThread);
    QVERIFY(s3.listen());
    const RecordingHttpServer::Reply partStored{200, {}, {{"ETag", "\"part\""}}, {}, 0, true};
    s3.setHandler([](const RecordingHttpServer::Request &request) {
        RecordingHttpServer::Reply reply;
        if (request.method == "GET")
            reply.body = "<ListBucketResult><IsTruncated>false</IsTruncated></ListBucketResult>";
        else if (request.method == "POST")
            reply.body = "<InitiateMultipartUploadResult><UploadId>up-1</UploadId>"
                         "</InitiateMultipartUploadResult>";
        else if (request.method == "PUT")
            reply.headers = {{"ETag", "\"part\""}};
        else if (request.method == "DELETE")
            reply.status = 204;
        reply.answer = !request.target.contains("partNumber=2");
        return reply;
    });
    openBrowser({"Zelt_Administrator"}, {}, s3.url());
    browser->uploadFiles(
        {localFile("big.bin", 12 * MiB), localFile("next1.txt", 1), localFile("next2.txt", 2)});
    QTRY_VERIFY_WITH_TIMEOUT(
        !progressOf("big.bin").isEmpty() && progressOf("big.bin").last().done > 0, TransferTimeout);

    QTRY_VERIFY_WITH_TIMEOUT(s3.requests().last().target.contains("partNumber=2"), TransferTimeout);

    // The running entry cannot be dropped from the queue table; a waiting one can.
    queueTable->setCurrentCell(0, 0);
    QTest::keyClick(queueTable.get(), Qt::Key_Delete);
    QCOMPARE(prompt->texts(Prompt::Kind::Critical), QStringList{"Cannot abort current operation."});
    queueTable->setCurrentCell(2, 0);
    QTest::keyClick(queueTable.get(), Qt::Key_Delete);
    QCOMPARE(queues.last().size(), 2);
    QCOMPARE(queues.last().at(1).remote, "next1.txt");

    if (paused) {
        browser->pauseTransfer();
        s3.answerHeld(partStored); // the loop stops for the pause after this part
        QTRY_VERIFY_WITH_TIMEOUT(progressOf("big.bin").last().speed == 0, TransferTimeout);
    }
    const int sentBefore = int(s3.requests().size());
    browser->abortTransfer();
    if (!paused)
        s3.answerHeld(partStored);
    QVERIFY(waitForIdle());

    const QList<RecordingHttpServer::Request> sent = s3.requests().mid(sentBefore);
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent.last().method, QByteArray("DELETE"));
    QCOMPARE(sent.last().target, QByteArray("/" + bucket.toUtf8() + "/big.bin?uploadId=up-1"));
    QCOMPARE(progress.last().mode, -1);
    QVERIFY(queues.last().isEmpty());
    QTest::qWait(100);
    QCOMPARE(s3.requests().last().method, QByteArray("DELETE")); // nothing started after it
}

void tst_S3Browser::passingFailuresAreRetried_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("failures");
    QTest::addColumn<bool>("abortInWait");
    QTest::addColumn<int>("retries");
    QTest::addColumn<bool>("stored");

    QTest::newRow("503 twice") << 503 << QByteArray("ServiceUnavailable") << 2 << false << 2
                               << true;
    QTest::newRow("SlowDown") << 503 << QByteArray("SlowDown") << 1 << false << 1 << true;
    QTest::newRow("403 fails at once")
        << 403 << QByteArray("AccessDenied") << 1 << false << 0 << false;
    QTest::newRow("given up after four retries")
        << 500 << QByteArray("InternalError") << 5 << false << 4 << false;
    QTest::newRow("abort during the wait")
        << 502 << QByteArray("BadGateway") << 5 << true << 1 << false;
}

void tst_S3Browser::passingFailuresAreRetried()
{
    QFETCH(int, status);
    QFETCH(QByteArray, code);
    QFETCH(int, failures);
    QFETCH(bool, abortInWait);
    QFETCH(int, retries);
    QFETCH(bool, stored);
    RecordingHttpServer s3(RecordingHttpServer::OnOwnThread);
    QVERIFY(s3.listen());
    auto partTwoFailures = std::make_shared<std::atomic<int>>(failures);
    // What S3 answers for the object: the MD5 of the parts' MD5s, "-", the part count.
    const QByteArray content = patternBytes(12 * MiB);
    QByteArray digests;
    for (qint64 at = 0; at < content.size(); at += 5 * MiB)
        digests += QCryptographicHash::hash(content.mid(at, 5 * MiB), QCryptographicHash::Md5);
    const QByteArray objectETag =
        QCryptographicHash::hash(digests, QCryptographicHash::Md5).toHex() + "-3";
    s3.setHandler([=](const RecordingHttpServer::Request &request) {
        RecordingHttpServer::Reply reply;
        if (request.method == "GET")
            reply.body = "<ListBucketResult><IsTruncated>false</IsTruncated></ListBucketResult>";
        else if (request.method == "POST" && request.target.endsWith("uploads="))
            reply.body = "<InitiateMultipartUploadResult><UploadId>up-1</UploadId>"
                         "</InitiateMultipartUploadResult>";
        else if (request.method == "POST")
            reply.body = "<CompleteMultipartUploadResult><ETag>\"" + objectETag +
                         "\"</ETag></CompleteMultipartUploadResult>";
        else if (request.method == "DELETE")
            reply.status = 204;
        else if (request.target.contains("partNumber=2") && (*partTwoFailures)-- > 0)
            reply = {status, {}, {}, "<Error><Code>" + code + "</Code></Error>", 0, true};
        else
            reply.headers = {{"ETag", "\"part\""}};
        return reply;
    });
    openBrowser({"Zelt_Administrator"}, {}, s3.url());
    QSignalSpy retried(browser.get(), &Zelt_S3::transferRetry);
    if (abortInWait)
        connect(browser.get(), &Zelt_S3::transferRetry, browser.get(), &Zelt_S3::abortTransfer);
    browser->uploadFiles({localFile("big.bin", 12 * MiB)});
    QVERIFY(waitForIdle());

    QCOMPARE(retried.size(), retries);
    int partTwoSent = 0;
    for (const RecordingHttpServer::Request &request : s3.requests())
        partTwoSent += request.target.contains("partNumber=2&uploadId=up-1");
    QCOMPARE(partTwoSent, abortInWait ? retries : retries + 1); // no send after the abort
    const bool completed = s3.requests().last().method == "POST";
    QCOMPARE(completed, stored);
    // Given up or aborted, the upload is not left open on the server.
    if (!stored)
        QCOMPARE(s3.requests().last().method, QByteArray("DELETE"));
    QCOMPARE(prompt->titles(Prompt::Kind::Critical).size(), stored || abortInWait ? 0 : 1);
}

void tst_S3Browser::administratorBrowsesFoldersAndFiles()
{
    direct().UploadObject(bucket, "intro.mp4", patternBytes(MiB));
    direct().UploadObject(bucket, "talks/a.pdf", patternBytes(2 * MiB));
    direct().UploadObject(bucket, "__ASSETBUNDLES/b/pack.bin", patternBytes(500));
    openBrowser({"Zelt_Administrator"});
    QCOMPARE(tree()->topLevelItem(0)->text(0), "MINIO - root");
    QVERIFY(folder("__ASSETBUNDLES"));
    QCOMPARE(fileTexts(), QStringList{"intro.mp4 1024 KB"});
    tree()->setCurrentItem(folder("talks"));
    QCOMPARE(fileTexts(), QStringList{"a.pdf 2 MB"});

    // A new folder exists in the tree only, and only once.
    prompt->answer(QStringLiteral("new one"));
    browser->on_btnS3Mkdir_clicked();
    prompt->answer(QStringLiteral("new one"));
    browser->on_btnS3Mkdir_clicked();
    QCOMPARE(prompt->texts(Prompt::Kind::Warning),
             QStringList{"A directory with the name new one already exists."});
    tree()->setCurrentItem(folder("new one"));
    const QString local = localFile("x y.txt", 7);
    browser->uploadFiles({local});
    QVERIFY(waitForIdle());
    QCOMPARE(direct().GetObjectSize(bucket, "talks/new one/x y.txt"), 7);
    QCOMPARE(fileTexts(), QStringList{"x y.txt 0 KB"});

    // The refresh keeps the folder selected; download and delete use the listed key.
    browser->on_btnS3Refresh_clicked();
    QTRY_VERIFY(tree()->currentItem() && tree()->currentItem()->text(0) == "new one" &&
                files()->rowCount() == 1);
    selectFiles({"x y.txt"});
    prompt->answer(dir->filePath("copy.txt"));
    browser->on_btnS3Download_clicked();
    QVERIFY(waitForIdle());
    QCOMPARE(readFile(dir->filePath("copy.txt")), patternBytes(7));
    selectFiles({"x y.txt"});
    prompt->answerButton(Prompt::Yes);
    browser->on_btnS3Delete_clicked();
    QVERIFY(waitForIdle());
    QCOMPARE(prompt->texts(Prompt::Kind::Question).last(),
             "Do you really want to delete 'x y.txt'?");
    QCOMPARE(direct().HasObject(bucket, "talks/new one/x y.txt"), -1);
    QCOMPARE(files()->rowCount(), 0);
}

void tst_S3Browser::userSeesOnlyTheirFolder()
{
    direct().UploadObject(bucket, "acme/intro.mp4", QByteArray("i"));
    direct().UploadObject(bucket, "acme/__ASSETBUNDLES/b/pack.bin", QByteArray("p"));
    direct().UploadObject(bucket, "other/secret.txt", QByteArray("s"));
    openBrowser({"Zelt_Presenter"}, "//acme");
    QCOMPARE(tree()->topLevelItem(0)->text(0), "MINIO - acme/");
    QCOMPARE(tree()->topLevelItem(0)->childCount(), 0);
    QCOMPARE(fileTexts(), QStringList{"intro.mp4 0 KB"});
    QCOMPARE(browser->getPathPrefix(), "acme/");

    browser->uploadFiles({localFile("notes.txt", 3)});
    QVERIFY(waitForIdle());
    QCOMPARE(direct().GetObjectSize(bucket, "acme/notes.txt"), 3);
    QCOMPARE(fileTexts(), QStringList({"intro.mp4 0 KB", "notes.txt 0 KB"}));
}

void tst_S3Browser::droppedFilesAndFoldersUploadIntoTheFolder()
{
    direct().UploadObject(bucket, "talks/c.txt", QByteArray("old"));
    openBrowser({"Zelt_Administrator"});
    QVERIFY(QDir(dir->path()).mkpath("pics/sub"));
    localFile("pics/a.png", 1);
    localFile("pics/sub/b b.txt", 2);
    const QString single = localFile("c.txt", 3);

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dir->filePath("pics")), QUrl::fromLocalFile(single)});
    QWidget *viewport = tree()->viewport();
    const QPoint onTalks = tree()->visualItemRect(folder("talks")).center();
    QDragEnterEvent enter(onTalks, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    prompt->answerButton(Prompt::Yes); // c.txt is listed there already
    QDropEvent drop(onTalks, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(waitForIdle());

    QCOMPARE(prompt->texts(Prompt::Kind::Question),
             QStringList{"File c.txt already exists on the Server. Overwrite?"});
    QCOMPARE(direct().GetObjectSize(bucket, "talks/pics/a.png"), 1);
    QCOMPARE(direct().GetObjectSize(bucket, "talks/pics/sub/b b.txt"), 2);
    QCOMPARE(direct().GetObjectSize(bucket, "talks/c.txt"), 3);
    QCOMPARE(tree()->currentItem(), folder("talks"));
}

void tst_S3Browser::failedTransferStaysShownAndResumesWhenRetried_data()
{
    QTest::addColumn<bool>("upload");
    QTest::newRow("upload") << true;
    QTest::newRow("download") << false;
}

void tst_S3Browser::failedTransferStaysShownAndResumesWhenRetried()
{
    QFETCH(bool, upload);
    const QString big = bigFile(upload);
    // The second part or range meets a busy server more often than the retries cover (a lost
    // connection would be waited for instead).
    FaultProxy proxy(peer.port());
    QVERIFY(proxy.start());
    openBrowser({"Zelt_Administrator"}, {}, proxy.url());
    for (int occurrence = 2; occurrence <= 6; ++occurrence)
        proxy.spoil(upload ? "PUT" : "GET", occurrence, FaultProxy::Fault::ServiceUnavailable);
    transferBig(upload, big);
    QVERIFY(waitForIdle());
    QCOMPARE(prompt->texts(Prompt::Kind::Critical).size(), 1);
    QCOMPARE(prompt->titles(Prompt::Kind::Critical).first(),
             upload ? "Upload Error" : "An error has occurred");
    QCOMPARE(queues.last().size(), 1);
    QCOMPARE(queues.last().first().status, int(S3QueueEntry::Failed));
    QCOMPARE(queueTable->item(0, 3)->toolTip(), queues.last().first().reason);

    // Retry from the queue table's menu queues it again.
    const qint64 doneBefore = progressOf("big.bin").last().done;
    progress.clear();
    browser->retryRow(0);
    QVERIFY(waitForIdle());
    QVERIFY(queues.last().isEmpty());
    QCOMPARE(prompt->texts(Prompt::Kind::Critical).size(), 1);
    QVERIFY(bigArrived(upload));
    if (!upload) {
        // The first chunk after the restart continues where the failed one stopped.
        const QList<Progress> resumed = progressOf("big.bin");
        QVERIFY(resumed.size() >= 2);
        QVERIFY(resumed.at(1).done > doneBefore);
    }
}

void tst_S3Browser::credentialRenewalKeepsTheTransfer_data()
{
    failedTransferStaysShownAndResumesWhenRetried_data();
}

void tst_S3Browser::credentialRenewalKeepsTheTransfer()
{
    QFETCH(bool, upload);
    const QString big = bigFile(upload);
    openBrowser({"Zelt_Administrator"});
    QSignalSpy setups(browser.get(), &Zelt_S3::doSetup);
    QSignalSpy renewals(browser.get(), &Zelt_S3::doUpdateCredentials);
    afterFirstPart([this] {
        session.storagePassword = "renewed";
        session.storageSessionToken = "token-2";
        browser->on_btnS3Refresh_clicked();
    });
    transferBig(upload, big);
    QTRY_COMPARE_WITH_TIMEOUT(renewals.size(), 1, TransferTimeout);
    QCOMPARE(setups.size(), 0);
    QCOMPARE(renewals.first().at(4).toString(), "token-2");

    QVERIFY(waitForIdle());
    QCOMPARE(zeroStarts("big.bin"), 1);
    QTRY_COMPARE(setups.size(), 1); // the tree is rebuilt once the queue is idle
    QTRY_VERIFY(browser->findChild<QLabel *>("lblStatus")->text().isEmpty());
    QVERIFY(prompt->titles(Prompt::Kind::Critical).isEmpty());
    QVERIFY(bigArrived(upload));
}

void tst_S3Browser::faultsOnTheWayAreRetriedOrCaught_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("intact"); // else the entry fails and nothing bad is left behind
    using Fault = FaultProxy::Fault;
    QTest::newRow("reset during upload") << true << int(Fault::Reset) << true;
    QTest::newRow("503 during upload") << true << int(Fault::ServiceUnavailable) << true;
    QTest::newRow("reset during download") << false << int(Fault::Reset) << true;
    QTest::newRow("503 during download") << false << int(Fault::ServiceUnavailable) << true;
    QTest::newRow("byte flipped in download") << false << int(Fault::FlipByte) << false;
}

void tst_S3Browser::faultsOnTheWayAreRetriedOrCaught()
{
    QFETCH(bool, upload);
    QFETCH(int, fault);
    QFETCH(bool, intact);
    const QString big = bigFile(upload);
    FaultProxy proxy(peer.port());
    QVERIFY(proxy.start());
    openBrowser({"Zelt_Administrator"}, {}, proxy.url());
    QSignalSpy retries(browser.get(), &Zelt_S3::transferRetry);
    // The second part or range of the 24 MiB object. A reset is spoilt twice: curl itself sends
    // a request again, once, when it finds the connection it reused dead before it sent the
    // body; found dead later (a send failure), the request is the library's to retry, and the
    // retry meets the second reset.
    proxy.spoil(upload ? "PUT" : "GET", 2, FaultProxy::Fault(fault));
    const bool reset = fault == int(FaultProxy::Fault::Reset);
    if (reset)
        proxy.spoil(upload ? "PUT" : "GET", 3, FaultProxy::Fault(fault));
    transferBig(upload, big);
    QVERIFY(waitForIdle());

    if (intact)
        QVERIFY2(retries.size() == 1 || (reset && retries.size() == 2),
                 qPrintable(QString::number(retries.size())));
    else
        QCOMPARE(retries.size(), 0);
    QCOMPARE(prompt->texts(Prompt::Kind::Critical).size(), intact ? 0 : 1);
    if (intact) {
        QVERIFY(queues.last().isEmpty());
        QVERIFY(bigArrived(upload));
        return;
    }
    QCOMPARE(queues.last().first().status, int(S3QueueEntry::Failed));
    QVERIFY2(queues.last().first().reason.contains("Integrity check failed"),
             qPrintable(queues.last().first().reason));
    QVERIFY(!QFile::exists(dir->filePath("copy.bin")));
}

void tst_S3Browser::lostConnectionIsWaitedFor()
{
    const QString big = bigFile(true);
    FaultProxy proxy(peer.port());
    QVERIFY(proxy.start());
    openBrowser({"Zelt_Administrator"}, {}, proxy.url());
    // The second part's connection breaks more often than the four retries cover; then the
    // connection comes back.
    for (int occurrence = 2; occurrence <= 8; ++occurrence)
        proxy.spoil("PUT", occurrence, FaultProxy::Fault::Reset);
    transferBig(true, big);
    QVERIFY(waitForIdle());

    const bool waited = std::any_of(queues.cbegin(), queues.cend(), [](const auto &shown) {
        return !shown.isEmpty() && shown.first().waitingForConnection &&
               shown.first().status == S3QueueEntry::InProgress;
    });
    QVERIFY(waited);
    QVERIFY(prompt->texts(Prompt::Kind::Critical).isEmpty());
    QVERIFY(queues.last().isEmpty());
    QVERIFY(bigArrived(true));
}

void tst_S3Browser::interruptedUploadIsTakenUpAgain_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("fileChanged");
    QTest::newRow("continued") << int(Prompt::Yes) << false;
    QTest::newRow("continued, the file changed") << int(Prompt::Yes) << true;
    QTest::newRow("discarded") << int(Prompt::Discard) << false;
}

void tst_S3Browser::interruptedUploadIsTakenUpAgain()
{
    QFETCH(int, answer);
    QFETCH(bool, fileChanged);
    MultipartS3Peer s3;
    owner = QStringLiteral("anna");
    openBrowser({"Zelt_Administrator"}, {}, s3.endpoint());
    const QString big = localFile("big.bin", 22 * MiB);
    QVERIFY(endConsoleInTheMiddle([&] { browser->uploadFiles({big}); }));
    const QList<int> before = s3.partsSent();
    if (fileChanged)
        writeFile(big, patternBytes(22 * MiB, 7));
    prompt->answerButton(Prompt::Button(answer));
    openBrowser({"Zelt_Administrator"}, {}, s3.endpoint());
    QVERIFY(waitForIdle());

    QCOMPARE(prompt->titles(Prompt::Kind::Question), QStringList{"Interrupted transfers"});
    QCOMPARE(queues.first().first().status, int(S3QueueEntry::Interrupted));
    const auto uploadsEnded = [&s3] {
        const auto log = s3.log();
        return std::count_if(log.cbegin(), log.cend(), [](const auto &request) {
            return request.method == "DELETE" && !request.parameter("uploadId").isNull();
        });
    };
    const QList<int> after = s3.partsSent().mid(before.size());
    if (answer == Prompt::Discard) {
        QTRY_COMPARE_WITH_TIMEOUT(uploadsEnded(), 1, TransferTimeout);
        QVERIFY(after.isEmpty());
        QVERIFY(s3.object(bucket, "big.bin").isNull());
        return;
    }
    QCOMPARE(s3.object(bucket, "big.bin"), readFile(big));
    // Continued, no part the server had is sent again; started over, the old upload is ended.
    QList<int> expected;
    for (int part = fileChanged ? 1 : int(before.size()) + 1; part <= 5; ++part)
        expected << part;
    QCOMPARE(after, expected);
    QCOMPARE(uploadsEnded(), fileChanged ? 1 : 0);
}

void tst_S3Browser::interruptedDownloadIsTakenUpAgain_data()
{
    QTest::addColumn<bool>("objectChanged");
    QTest::addColumn<bool>("rangeLost");
    QTest::newRow("continued") << false << false;
    QTest::newRow("the object changed meanwhile") << true << false;
    // Four ranges in flight and the second never answered: those after it are on disk, but
    // the download goes on from the gap.
    QTest::newRow("a range lost in flight") << false << true;
}

void tst_S3Browser::interruptedDownloadIsTakenUpAgain()
{
    QFETCH(bool, objectChanged);
    QFETCH(bool, rangeLost);
    MultipartS3Peer s3;
    if (rangeLost) {
        Zelt_S3Worker::setTransferConcurrency(4);
        s3.setMishaps([](const auto &request) {
            return request.range.startsWith("bytes=5242880-") ? MultipartS3Peer::Mishap::Lost
                                                              : MultipartS3Peer::Mishap::None;
        });
    }
    const QByteArray first = patternBytes(22 * MiB, 3);
    const QByteArray second = patternBytes(22 * MiB, 9);
    s3.putObject(bucket, "big.bin", first);
    owner = QStringLiteral("anna");
    openBrowser({"Zelt_Administrator"}, {}, s3.endpoint());
    const QString copy = dir->filePath("copy.bin");
    selectFiles({"big.bin"});
    prompt->answer(copy);
    QVERIFY(endConsoleInTheMiddle([this] { browser->on_btnS3Download_clicked(); }));
    if (objectChanged)
        s3.putObject(bucket, "big.bin", second);
    s3.setMishaps({});
    s3.clearLog();
    prompt->answerButton(Prompt::Yes);
    openBrowser({"Zelt_Administrator"}, {}, s3.endpoint());
    QVERIFY(waitForIdle());

    QCOMPARE(readFile(copy), objectChanged ? second : first);
    // Continued from where the partial file ended, for the object it was begun with only.
    const auto log = s3.log();
    const auto firstRange = std::find_if(
        log.cbegin(), log.cend(), [](const auto &request) { return !request.range.isNull(); });
    QVERIFY(firstRange != log.cend());
    QVERIFY(!firstRange->ifMatch.isEmpty());
    QCOMPARE(firstRange->range.startsWith("bytes=0-"), false);
    const bool toldWhy = std::any_of(queues.cbegin(), queues.cend(), [](const auto &shown) {
        return !shown.isEmpty() && shown.first().reason.startsWith("The object changed");
    });
    QCOMPARE(toldWhy, objectChanged);
}

void tst_S3Browser::unfinishedUploadsAreListedAndAborted()
{
    MultipartS3Peer s3;
    // Another tool's upload of one part, never finished.
    Storage_S3(Brenn_AWS::MinIO, s3.endpoint(), accessKey, secretKey, QString())
        .UploadObjectMultipart(bucket, "talks/left.bin", localFile("left.bin", 12 * MiB),
                               "application/octet-stream");
    openBrowser({"Zelt_Administrator"}, {}, s3.endpoint());
    prompt->answerButton(Prompt::Yes);
    QStringList listed;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        auto *table = dialog ? dialog->findChild<QTableWidget *>("tblUnfinished") : nullptr;
        if (!table)
            return;
        if (listed.isEmpty() && table->rowCount() == 1) {
            listed << table->item(0, 0)->text() + " " + table->item(0, 3)->text();
            table->selectRow(0);
            dialog->findChild<QPushButton *>("btnAbortUploads")->click();
        } else if (!listed.isEmpty() && table->rowCount() == 0) {
            dialog->reject();
        }
    });
    poll.start(10);
    browser->findChild<QPushButton *>("btnS3Unfinished")->click();

    QCOMPARE(listed, QStringList{"talks/left.bin 5 MB"});
    QCOMPARE(prompt->titles(Prompt::Kind::Question), QStringList{"Abort uploads"});
    QVERIFY(Storage_S3(Brenn_AWS::MinIO, s3.endpoint(), accessKey, secretKey, QString())
                .ListMultipartUploads(bucket, QString())
                .isEmpty());
}

void tst_S3Browser::pauseOrAbortBeforeTheStartReachesThatTransfer_data()
{
    QTest::addColumn<bool>("abort");
    QTest::newRow("abort") << true;
    QTest::newRow("pause") << false;
}

void tst_S3Browser::pauseOrAbortBeforeTheStartReachesThatTransfer()
{
    QFETCH(bool, abort);
    openBrowser({"Zelt_Administrator"});
    onWorker([this] { workerGate.acquire(); }, Qt::QueuedConnection);
    browser->uploadFiles({localFile("first.txt", 3)});
    abort ? browser->abortTransfer() : browser->pauseTransfer();
    workerGate.release();
    onWorker([] {}); // the upload has had its turn
    QCOMPARE(direct().HasObject(bucket, "first.txt"), -1);
    QCOMPARE(pauseButton()->isChecked(), !abort);

    // One click resumes the paused upload; after the abort, the next upload runs.
    if (abort)
        browser->uploadFiles({localFile("first.txt", 3)});
    else
        pauseButton()->click();
    QVERIFY(waitForIdle());
    QCOMPARE(direct().HasObject(bucket, "first.txt"), 3);
    QCOMPARE(zeroStarts("first.txt"), 1);
}

void tst_S3Browser::refreshLeavesEarlierEntriesWithTheirTarget()
{
    const QString other = bucket + "-other";
    QVERIFY(peer.createBucket(other));
    FaultProxy proxy(peer.port()); // the new address: the same store, through the proxy
    QVERIFY(proxy.start());
    openBrowser({"Zelt_Administrator"});
    onWorker([this] { workerGate.acquire(); }, Qt::QueuedConnection);
    browser->uploadFiles({localFile("running.txt", 1), localFile("waiting.txt", 2)});
    session.storageAddress = proxy.url();
    session.storageBucket = other;
    browser->setConfig(&session);
    browser->on_btnS3Refresh_clicked();
    browser->uploadFiles({localFile("later.txt", 3)});
    workerGate.release();
    QVERIFY(waitForIdle());

    QCOMPARE(direct().HasObject(bucket, "waiting.txt"), 2);
    QCOMPARE(direct().HasObject(other, "later.txt"), 3);
    // Only the entry made after the refresh went to the new address.
    const QByteArray sent = proxy.requestLines().join('\n');
    QVERIFY(sent.contains("PUT /" + other.toUtf8() + "/later.txt?"));
    QVERIFY(!sent.contains("running.txt") && !sent.contains("waiting.txt"));
}

void tst_S3Browser::deleteKeyDropsTheEntryOfItsRow()
{
    openBrowser({"Zelt_Administrator"});
    onWorker([this] { workerGate.acquire(); }, Qt::QueuedConnection);
    browser->uploadFiles({localFile("aborted.txt", 1)});
    browser->abortTransfer(); // pending while the worker is held: no row runs
    const QString gone = localFile("gone.txt", 1);
    browser->uploadFiles({localFile("a.txt", 2), localFile("b.txt", 3), gone});
    QFile::remove(gone);
    queueTable->setCurrentCell(1, 0);
    QTest::keyClick(queueTable.get(), Qt::Key_Delete);
    workerGate.release();
    QVERIFY(waitForIdle());

    // Only the failed row is left.
    queueTable->setCurrentCell(0, 0);
    QTest::keyClick(queueTable.get(), Qt::Key_Delete);
    QVERIFY(queues.last().isEmpty());
    QCOMPARE(prompt->titles(Prompt::Kind::Critical), QStringList{"Upload Error"});
    QCOMPARE(direct().HasObject(bucket, "a.txt"), 2);
    QCOMPARE(direct().HasObject(bucket, "b.txt"), -1);
}

QTEST_MAIN(tst_S3Browser)
#include "tst_s3browser.moc"
