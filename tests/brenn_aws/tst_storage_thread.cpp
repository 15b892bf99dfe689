// One storage object created, used and deleted on a worker thread, driven by queued signals,
// as the console's transfer worker does. Run under ThreadSanitizer to check the library's part.
#include "StorageTestSupport.h"

#include "S3Peer.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace Brenn_AWS;
using namespace StorageTest;

Q_DECLARE_METATYPE(QAWSException)

namespace {

class Worker : public QObject
{
    Q_OBJECT
public slots:
    void setup(const QString &endpoint)
    {
        storage = std::make_unique<Storage_S3>(MinIO, endpoint, accessKey, secretKey, QString());
        emit setupDone();
    }
    void upload(const QString &bucket, const QString &key, const QString &path)
    {
        run([&] {
            MPInfo info;
            do {
                info =
                    storage->UploadObjectMultipart(bucket, key, path, "application/octet-stream");
                emit progress(info.transferred, info.size);
            } while (!info.finished);
        });
    }
    void download(const QString &bucket, const QString &key, const QString &path)
    {
        run([&] {
            MPInfo info;
            do {
                info = storage->DownloadObjectMultipart(bucket, key, path);
                emit progress(info.transferred, info.size);
            } while (!info.finished);
        });
    }
    void list(const QString &bucket)
    {
        run([&] {
            QStringList keys;
            storage->ListObjects(bucket, QString(), keys);
            emit listed(keys);
        });
    }
    void remove(const QString &bucket, const QString &key)
    {
        run([&] { storage->DeleteObject(bucket, key); });
    }
    void teardown()
    {
        storage.reset();
        emit tornDown();
    }

signals:
    void setupDone();
    void progress(qlonglong transferred, qlonglong size);
    void listed(const QStringList &keys);
    void done();
    void failed(const QAWSException &exception);
    void tornDown();

private:
    template <class Work> void run(Work work)
    {
        try {
            work();
            emit done();
        } catch (const QAWSException &exception) {
            emit failed(exception);
        }
    }

    std::unique_ptr<Storage_S3> storage;
};

} // namespace

class tst_StorageThread : public QObject
{
    Q_OBJECT

private slots:
    void storageLivesOnAWorkerThread();
};

void tst_StorageThread::storageLivesOnAWorkerThread()
{
    qRegisterMetaType<QAWSException>("QAWSException");
    S3Peer peer;
    QVERIFY2(peer.start({"threads"}), qPrintable(peer.errorString()));
    QTemporaryDir files;
    const QString source = files.filePath(QStringLiteral("source"));
    QVERIFY(writeFile(source, patternBytes(11 * 1024 * 1024)));

    QThread thread;
    auto *worker = new Worker;
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.start();
    QSignalSpy setupDone(worker, &Worker::setupDone);
    QSignalSpy done(worker, &Worker::done);
    QSignalSpy failed(worker, &Worker::failed);
    QSignalSpy progress(worker, &Worker::progress);
    QSignalSpy listed(worker, &Worker::listed);
    QSignalSpy tornDown(worker, &Worker::tornDown);

    QMetaObject::invokeMethod(worker, "setup", Qt::QueuedConnection,
                              Q_ARG(QString, peer.endpoint()));
    QTRY_COMPARE_WITH_TIMEOUT(setupDone.size(), 1, 30000);
    QMetaObject::invokeMethod(worker, "upload", Qt::QueuedConnection, Q_ARG(QString, "threads"),
                              Q_ARG(QString, "moved"), Q_ARG(QString, source));
    QTRY_COMPARE_WITH_TIMEOUT(done.size() + failed.size(), 1, 60000);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(progress.size(), 3);
    QCOMPARE(progress.last().at(0).toLongLong(), 11 * 1024 * 1024);

    const QString target = files.filePath(QStringLiteral("target"));
    QMetaObject::invokeMethod(worker, "download", Qt::QueuedConnection, Q_ARG(QString, "threads"),
                              Q_ARG(QString, "moved"), Q_ARG(QString, target));
    QTRY_COMPARE_WITH_TIMEOUT(done.size() + failed.size(), 2, 60000);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(readFile(target), readFile(source));

    QMetaObject::invokeMethod(worker, "list", Qt::QueuedConnection, Q_ARG(QString, "threads"));
    QTRY_COMPARE_WITH_TIMEOUT(listed.size(), 1, 30000);
    QCOMPARE(listed.first().first().toStringList(), QStringList{"moved"});

    // Failures come back by value through the queued signal.
    QMetaObject::invokeMethod(worker, "remove", Qt::QueuedConnection,
                              Q_ARG(QString, "no-such-bucket"), Q_ARG(QString, "moved"));
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 30000);
    const auto exception = failed.first().first().value<QAWSException>();
    QCOMPARE(exception.name, QStringLiteral("NoSuchBucket"));

    QMetaObject::invokeMethod(worker, "teardown", Qt::QueuedConnection);
    QTRY_COMPARE_WITH_TIMEOUT(tornDown.size(), 1, 30000);
    thread.quit();
    QVERIFY(thread.wait(30000));
}

QTEST_GUILESS_MAIN(tst_StorageThread)
#include "tst_storage_thread.moc"
