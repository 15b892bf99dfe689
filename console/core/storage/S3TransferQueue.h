#pragma once

#include "QAWSExceptionMetaType.h"
#include "S3QueueEntry.h"
#include "TransferStateMetaTypes.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class TransferJournal;

// The S3 browser's transfer queue: uploads, downloads and deletions wait here and go to the
// worker one at a time. A paused entry holds the queue; an abort empties it. Every result of
// the worker comes back to one of the on...() slots; failures are told in a message box and the
// queue goes on with the next entry.
class S3TransferQueue : public QObject
{
    Q_OBJECT

public:
    // Where plain uploads go: the folder selected in the browser, and whether a key is already
    // listed.
    struct Folder
    {
        S3Target target;
        QString currentDir;
        std::function<bool(const QString &key)> lists;
    };
    // A local file and its name below the target folder ("a.txt", or "talks/a.txt" for a file
    // of a dropped folder).
    struct LocalFile
    {
        QString path;
        QString name;
    };

    // dialogParent is the widget the questions and message boxes belong to.
    explicit S3TransferQueue(QObject *dialogParent);

    // Asks before overwriting a listed file, unless noAll or yesAll answers it already.
    void uploadFiles(const QList<LocalFile> &files, bool noAll, bool yesAll,
                     const QString &pathOverride, const Folder &folder);
    void deleteKeys(const S3Target &target, const QStringList &keys);
    // Downloads announce themselves with beginTransfers() before the target is asked for.
    void beginTransfers();
    void addDownloads(const QList<S3QueueEntry> &entries);

    void pauseTransfer();
    void continueTransfer();
    void abortTransfer();
    // Drops the entry shown in row slot + 1, or in row slot when no entry runs or is paused:
    // slot 0 is the first row after the running entry.
    void dropWaiting(int slot);
    // Failed entries stay shown, after the waiting ones, until they are queued again or removed.
    // row counts the rows of the last published list.
    void retryRow(int row);
    // Removes the waiting or failed entry shown in row; the running one stays.
    void removeRow(int row);

    const S3QueueEntry &currentEntry() const { return current; }
    // Keeps the queue on disk from now on; null keeps nothing.
    void setJournal(TransferJournal *kept) { journal = kept; }
    // Shows the transfers to the target that the console left unfinished when it last ended,
    // and asks once whether to continue them now, keep them for later or discard them.
    void restoreInterrupted(const S3Target &target);
    // Nothing runs, is paused or waits.
    bool isIdle() const;

public slots:
    void onUploadFinished(QString key, qlonglong size, QString ETag);
    void onUploadFailed(QAWSException ex);
    void onDownloadFinished();
    void onDownloadFailed(QAWSException ex);
    void onDeleteFinished();
    void onDeleteFailed(QAWSException ex);
    void onAbortFinished();
    void onTransferWaiting(bool waiting, QString reason);
    // What the server holds of the running transfer after a chunk, to go on with it later.
    void onUploadState(quint64 ticket, Brenn_AWS::UploadState state);
    void onDownloadState(quint64 ticket, Brenn_AWS::DownloadState state);
    // The running transfer could not go on where it was and began anew, for this reason.
    void onStartedOver(quint64 ticket, QString reason);

signals:
    // Every start and resume carries a new ticket; a pause or an abort names the last one sent.
    void doUpload(S3Target target, QString key, QString path, quint64 ticket);
    void doDownload(S3Target target, QString key, QString path, quint64 ticket);
    void doDelete(S3Target target, QString key);
    void doContinueUpload(S3Target target, QString key, QString path, quint64 ticket,
                          Brenn_AWS::UploadState state);
    void doContinueDownload(S3Target target, QString key, QString path, quint64 ticket,
                            Brenn_AWS::DownloadState state);
    // Ends a multipart upload on the server that nothing will complete.
    void doAbortMultipartUpload(S3Target target, QString key, QString uploadId);
    void doResume(quint64 ticket);
    void doPause(quint64 ticket);
    void doAbort(quint64 ticket);
    void transferProgress(int mode, QString bucket, QString object, qlonglong size,
                          qlonglong progress, int bytespersecond);
    void updateQueue(QList<S3QueueEntry> files);
    // Pause and abort make sense exactly while something is shown in the queue; paused tells
    // whether the current entry is paused.
    void controlsChanged(bool enabled, bool paused);
    void startUploadDownload();
    void betweenUploadDownloads();
    void endUploadDownload();
    void uploadsFinished();
    void uploadFailed();
    // A key now stored or deleted, for the browser's file table.
    void uploaded(QString key, qlonglong size, QString ETag);
    void deleted(QString key);
    // The queue has drained.
    void idle();

private:
    void processQueue();
    void startUpload();
    // Drops the interrupted entries: their uploads are aborted on the server and the partial
    // files of their downloads deleted.
    void discard(const QList<S3QueueEntry> &entries);
    void startDownload(bool ask);
    void publishQueue();
    void finishCurrent(S3QueueEntry::Status status);
    void failCurrent(const QAWSException &ex);
    // The index in failedEntries of a row of the published list, or -1.
    int failedIndex(int row) const;
    void resetProgress();
    bool isActive() const;
    bool overwriteAnswered(const QString &title, const QString &text, bool &yesAll, bool &noAll);

    QObject *dialogParent;
    S3QueueEntry current;
    QList<S3QueueEntry> queue;
    QList<S3QueueEntry> failedEntries;
    bool overwriteAll = false;
    bool skipAll = false;
    // Aborts sent whose end the worker has not confirmed yet; the queue waits for them, so that
    // a late result of the aborted transfer is not taken for the next entry's.
    int abortsPending = 0;
    bool transfersAnnounced = false;
    quint64 lastTicket = 0;
    TransferJournal *journal = nullptr;
};
