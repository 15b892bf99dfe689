// The transfer queue on disk: what it keeps, what it does with damaged files, who may read it
// and which console may own it.
#include "S3QueueEntry.h"
#include "TransferJournal.h"
#include "TransferStateFile.h"

#include <QtTest>

#include <sys/stat.h>

class tst_TransferStateFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryField();
    void damagedFileIsSetAside_data();
    void damagedFileIsSetAside();
    void unusableEntryIsSkipped();
    void fileIsPrivate();
    void oneConsoleOwnsTheFile();
    void journalLeavesOtherTargetsAndUsersAlone();
};

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static void write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void tst_TransferStateFile::roundTripKeepsEveryField()
{
    const qint64 big = (qint64(5) << 30) + 3; // above 4 GiB and not a multiple of a part
    StoredTransfer upload;
    upload.id = "3f2b";
    upload.operation = S3QueueEntry::Upload;
    upload.status = S3QueueEntry::Paused;
    upload.target = {2, "https://s3.example:9000", "media", "acme/"};
    upload.owner = "anna";
    upload.key = "acme/talks/keynote.mp4";
    upload.local = "/home/anna/keynote Ü.mp4";
    upload.size = big;
    upload.uploadId = "2~abc";
    upload.contentType = "video/mp4";
    upload.partSize = 64 << 20;
    upload.parts = {{1, 64 << 20, "\"e1\""}, {2, big - (64 << 20), "\"e2\""}};
    upload.fileSize = big;
    upload.fileModified = QDateTime::fromString("2026-12-09T20:15:00.123+05:30", Qt::ISODateWithMs);

    StoredTransfer download;
    download.id = "9c01";
    download.operation = S3QueueEntry::Download;
    download.status = S3QueueEntry::Failed;
    download.reason = "Connection refused";
    download.target = {1, "http://127.0.0.1:9000", "media", ""};
    download.key = "acme/big.iso";
    download.local = "/tmp/big.iso";
    download.size = (qint64(1) << 53) + 1; // not exact as a double
    download.eTag = "\"d41d8cd98f00b204e9800998ecf8427e-3\"";
    download.lastModified = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::UTC);

    QTemporaryDir dir;
    TransferStateFile file(dir.filePath("new/folder"));
    QVERIFY(file.save({upload, download}));
    const QList<StoredTransfer> loaded = file.load();
    QCOMPARE(loaded.size(), 2);
    QVERIFY(loaded.at(0) == upload);
    QVERIFY(loaded.at(1) == download);
    QCOMPARE(loaded.at(0).fileModified.offsetFromUtc(), 5 * 3600 + 30 * 60);
}

void tst_TransferStateFile::damagedFileIsSetAside_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray current =
        R"({"format": "vorel-transfer-queue", "version": 1, "transfers": []})";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << current.left(current.size() / 2);
    QTest::newRow("not JSON") << QByteArray("\x89PNG\r\n\x1a\n");
    QTest::newRow("other format") << QByteArray(R"({"format":"notes","version":1,"transfers":[]})");
    QTest::newRow("newer version") << QByteArray(current).replace("1,", "2,");
}

void tst_TransferStateFile::damagedFileIsSetAside()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    TransferStateFile file(dir.path());
    write(file.path(), content);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unusable.*set aside as .*\\.bad"));
    QVERIFY(file.load().isEmpty());
    QVERIFY(!QFile::exists(file.path()));
    const QStringList aside = QDir(dir.path()).entryList({"transfers.json.*T*.bad"});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readAll(dir.filePath(aside.first())), content);
}

void tst_TransferStateFile::unusableEntryIsSkipped()
{
    QTemporaryDir dir;
    TransferStateFile file(dir.path());
    write(file.path(), R"({"format": "vorel-transfer-queue", "version": 1, "transfers": [
        {"id": "a", "operation": "delete", "status": "queued", "key": "k", "local": "/l",
         "target": {"bucket": "b"}},
        {"id": "c", "operation": "upload", "status": "queued", "key": "k", "local": "/l",
         "target": {"bucket": "b"}, "size": "12x"},
        {"id": "d", "operation": "download", "status": "failed", "key": "k", "local": "/l",
         "target": {"bucket": "b"}, "size": 4294967296}]})");
    const QList<StoredTransfer> loaded = file.load();
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.first().id, "d");
    QCOMPARE(loaded.first().size, qint64(1) << 32);
    QVERIFY(QFile::exists(file.path()));
}

void tst_TransferStateFile::fileIsPrivate()
{
    QTemporaryDir dir;
    TransferStateFile file(dir.path());
    write(file.path(), "{}");
    QVERIFY(QFile::setPermissions(file.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(file.save({}));
    struct stat status;
    QCOMPARE(::stat(QFile::encodeName(file.path()).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0600));
}

void tst_TransferStateFile::oneConsoleOwnsTheFile()
{
    QTemporaryDir dir;
    QString why;
    {
        TransferStateFile first(dir.path());
        QVERIFY(first.lock(&why));
        TransferStateFile second(dir.path());
        QVERIFY(!second.lock(&why));
        QVERIFY(why.contains(QString::number(QCoreApplication::applicationPid())));
    }
    QVERIFY(TransferStateFile(dir.path()).lock(&why));
}

void tst_TransferStateFile::journalLeavesOtherTargetsAndUsersAlone()
{
    QTemporaryDir dir;
    const S3Target minio{1, "http://minio", "media", "acme/"};
    const S3Target amazon{2, "eu-central-1", "brennzelt", "acme/"};
    const auto entry = [](const QString &id, const S3Target &target) {
        S3QueueEntry kept;
        kept.id = id;
        kept.remote = id;
        kept.local = "/tmp/" + id;
        kept.setTarget(target);
        return kept;
    };
    {
        TransferJournal anna(dir.path(), "anna");
        anna.record({entry("to-minio", minio), entry("to-amazon", amazon)});
    }
    {
        TransferJournal mia(dir.path(), "mia");
        mia.record({entry("mias", minio)});
    }
    // anna logs in to MinIO: only her MinIO entry comes back, and finishing it forgets it alone.
    TransferJournal anna(dir.path(), "anna");
    const QList<S3QueueEntry> back = anna.interrupted(minio);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first().id, "to-minio");
    QCOMPARE(back.first().status, int(S3QueueEntry::Interrupted));
    anna.record({});
    QCOMPARE(anna.interrupted(minio).size(), 0);
    QCOMPARE(anna.interrupted(amazon).size(), 1);
    QStringList left;
    for (const StoredTransfer &transfer : TransferStateFile(dir.path()).load())
        left << transfer.owner + ":" + transfer.id;
    left.sort();
    QCOMPARE(left, (QStringList{"anna:to-amazon", "mia:mias"}));
}

QTEST_GUILESS_MAIN(tst_TransferStateFile)
#include "tst_transferstatefile.moc"
