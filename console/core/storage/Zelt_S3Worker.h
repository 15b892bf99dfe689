#pragma once

#include "QAWSExceptionMetaType.h"
#include "S3Target.h"
#include "TransferStateMetaTypes.h"
#include "UnfinishedUpload.h"

#include <Brenn_AWS/Structs.h>

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace Brenn_AWS {
class Storage_S3;
}

// Runs every call of the console's one Storage_S3 on a thread of its own. The browser calls the
// operation slots through queued connections; transfers move one chunk per library call and
// check for pause and abort between chunks.
//
// doPause, doAbort and doUpdateCredentials are the exceptions: they are thread-safe and meant
// to be called directly from the browser's thread, so that they reach a running transfer at
// its next chunk without the loop processing events (which would run queued operations in the
// middle of it).
class Zelt_S3Worker : public QObject
{
    Q_OBJECT

public:
    explicit Zelt_S3Worker(QObject *parent = nullptr);
    ~Zelt_S3Worker() override;

    const QAWSException notInitialized;

    // Parts or ranges of each transfer in flight at once, for every worker from its next chunk
    // on (4 unless set).
    static void setTransferConcurrency(int parts);

public slots:
    // type 2 is Amazon S3 (url is then a region), anything else MinIO. The listings go to this
    // service from now on.
    void doSetup(int type, QString url, QString user, QString pass,
                 QString sessiontoken = QString());
    void doListObjects(QString bucket, QString pathPrefix);
    void doListObjectsAndSizes(QString bucket, QString pathPrefix, bool doSubDirs = true);
    // Transfers and deletions go to the target they were queued for. A transfer is named by a
    // ticket of the queue's, new for every start and resume, so that a pause or an abort reaches
    // the transfer it was meant for even before that has started.
    void doDownload(S3Target target, QString key, QString path, quint64 ticket);
    void doUpload(S3Target target, QString key, QString path, quint64 ticket);
    // The same transfers, going on from what an earlier run of the console stored; where that
    // is gone, they start over and say why (transferStartedOver).
    void doContinueUpload(S3Target target, QString key, QString path, quint64 ticket,
                          Brenn_AWS::UploadState state);
    void doContinueDownload(S3Target target, QString key, QString path, quint64 ticket,
                            Brenn_AWS::DownloadState state);
    // Ends a multipart upload on the server; one that is gone already is no failure.
    void doAbortMultipartUpload(S3Target target, QString key, QString uploadId);
    // The multipart uploads below the target's folder that are none of the known ones.
    void doListUnfinishedUploads(S3Target target, QStringList knownUploadIds);
    // Continues the paused transfer, if there still is one: it may have finished with the chunk
    // that was running when the pause came.
    void doResume(quint64 ticket);
    void doDelete(S3Target target, QString key);
    void doGetFileSize(QString bucket, QString key);

    // Pauses the transfers with this ticket and older ones.
    void doPause(quint64 ticket);
    // Ends the transfers with this ticket and older ones: a running one after its chunk, a paused
    // one at once, one still to start before it begins; abortFinished() follows every call, after
    // any result of the aborted transfer.
    void doAbort(quint64 ticket);
    // New credentials for the service, from its next call on: a running or paused transfer there
    // goes on with them; for another service they wait until it is used.
    void doUpdateCredentials(qint32 type, QString url, QString user, QString pass,
                             QString sessiontoken);

signals:
    void setupFinished();
    void setupFailed(QAWSException ex);
    void listFinished(QStringList lst);
    void listFailed(QAWSException ex);
    void listSizesFinished(QStringList sLst, QStringList iLst, QStringList eLst);
    void listSizesFailed(QAWSException ex);
    void downloadFinished();
    void downloadFailed(QAWSException ex);
    void uploadFinished(QString key, qlonglong size, QString ETag);
    void uploadFailed(QAWSException ex);
    void deleteFinished();
    void deleteFailed(QAWSException ex);
    void fileSizeFinished(QString bucket, QString key, qlonglong size);
    void fileSizeFailed(QString bucket, QString key, QAWSException ex);
    void abortFinished();
    // A chunk failed for a passing reason and is sent again after a short wait.
    void transferRetry(int retry, int retries, QString reason);
    // The retries could not reach the service: the transfer waits for the connection (true,
    // with the failure's text), or has it back (false).
    void transferWaiting(bool waiting, QString reason);
    // What the server holds of the transfer after each chunk, for going on with it later.
    void uploadState(quint64 ticket, Brenn_AWS::UploadState state);
    void downloadState(quint64 ticket, Brenn_AWS::DownloadState state);
    void transferStartedOver(quint64 ticket, QString reason);
    void unfinishedUploadsListed(QList<UnfinishedUpload> uploads);
    void unfinishedUploadsFailed(QAWSException ex);
    // mode 0 upload, 1 download, -1 no transfer (empty texts, zeros).
    void transferProgress(int mode, QString bucket, QString object, qlonglong size,
                          qlonglong progress, int bytespersecond);

private:
    enum Kind
    {
        NoTransfer = 0,
        UploadKind = 1,
        DownloadKind = 2
    };
    struct Credentials
    {
        QString user;
        QString pass;
        QString sessionToken;
        quint64 revision = 0;
    };

    // The storage of the target's service with its latest credentials; null while none are
    // known for it.
    Brenn_AWS::Storage_S3 *storageFor(const S3Target &target);
    // prepare runs on the target's storage before the first chunk.
    void startTransfer(Kind kind, const S3Target &target, const QString &key, const QString &path,
                       quint64 ticket,
                       const std::function<void(Brenn_AWS::Storage_S3 &)> &prepare = {});
    void publishState(Kind kind, quint64 ticket);
    void runTransfer(Kind kind, quint64 ticket);
    bool paused() const { return pausedThrough >= transferTicket; }
    bool aborted() const { return abortedThrough >= transferTicket; }
    void emitFailure(Kind kind, const QAWSException &ex);
    Brenn_AWS::MPInfo nextChunk(Kind kind);
    // The next chunk, retried after passing failures; empty when a pause or an abort came
    // during a wait before a retry.
    std::optional<Brenn_AWS::MPInfo> chunkWithRetries(Kind kind);
    // False when a pause or an abort ends the wait early.
    bool waitUninterrupted(int milliseconds);
    void wakeWaits();
    void abortInLibrary(Kind kind);
    void abortQuietly(Kind kind);
    void abortStoredTransfer();
    bool &activeFlag(Kind kind) { return kind == UploadKind ? uploadActive : downloadActive; }

    // One storage object, for the service last used: entries run one at a time and a paused one
    // holds the queue, so a switch to another service comes between transfers.
    std::unique_ptr<Brenn_AWS::Storage_S3> storage;
    S3Target storageService;
    quint64 storageRevision = 0;
    // Where the listings go: the service of the last setup.
    S3Target browsed;
    // Every ticket up to these is paused or aborted; they only grow, so a request is never
    // cleared before the transfer it names has seen it.
    std::atomic<quint64> pausedThrough{0};
    std::atomic<quint64> abortedThrough{0};
    quint64 transferTicket = 0;
    qint32 currentKind = NoTransfer;
    bool downloadActive = false;
    bool uploadActive = false;
    // The transfer of currentKind, for a resume.
    S3Target transferTarget;
    QString transferKey;
    QString transferPath;

    std::mutex waitMutex;
    std::condition_variable waitCondition;

    QMutex credentialsMutex;
    QHash<QPair<qint32, QString>, Credentials> credentials;
    quint64 credentialRevisions = 0;
};
