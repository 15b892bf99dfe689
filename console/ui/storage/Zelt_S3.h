#pragma once

#include "QAWSExceptionMetaType.h"
#include "S3QueueEntry.h"
#include "S3TransferQueue.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class TransferJournal;
class QTableWidgetItem;
class QThread;
class QTreeWidgetItem;
struct S3FolderTree;
class Zelt_S3Worker;
struct Zelt_LoginData;

namespace Ui {
class Zelt_S3Class;
}

// The S3/MinIO storage browser: the bucket's folders as a tree, the files of the selected one
// in a table, and the transfer queue that uploads, downloads and deletes through the worker on
// its own thread.
class Zelt_S3 : public QWidget
{
    Q_OBJECT

public:
    using fileEntry = S3QueueEntry;

    explicit Zelt_S3(QWidget *parent = nullptr);
    ~Zelt_S3() override;

    // The session record whose storage fields the browser uses; the caller refreshes next.
    void setConfig(Zelt_LoginData *data);
    QList<QTableWidgetItem *> selectedItems() const;
    QString getPathPrefix() const;
    QString currentBucket() const { return bucket; }
    // 1 MinIO, 2 Amazon S3, as of the last refresh: the "Mode" of what is stored here.
    qint32 storageType() const { return workerType; }
    // The storage address and keys of the last refresh, for assets that point into the bucket.
    QString storageHost() const { return url; }
    QString accessKey() const { return user; }
    QString secretKey() const { return pass; }
    // Nothing runs, is paused or waits in the queue.
    bool isQueueIdle() const;

public slots:
    // While transfers run or are paused, new credentials reach the storage in use and the tree
    // is rebuilt once the queue is idle.
    void on_btnS3Refresh_clicked();
    void on_btnS3Upload_clicked();
    void on_btnS3Download_clicked();
    void on_btnS3Delete_clicked();
    void on_btnS3Mkdir_clicked();
    void setDeleteEnabled(bool enabled);
    void on_S3TreeWidget_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_S3TableWidget_itemSelectionChanged();
    void on_S3TableWidget_itemDoubleClicked(QTableWidgetItem *item);
    void clearSelection();
    void SetIconFromFilename(QTableWidgetItem *itm, QString name);
    void onListSizesFinished(QStringList sLst, QStringList iLst, QStringList eLst);
    void onListSizesFailed(QAWSException ex);
    void onSetupFinished();
    void onSetupFailed(QAWSException ex);

    void uploadFiles(QStringList uploadfiles, bool noAll = false, bool yesAll = false,
                     QString pathoverride = QString());
    // Keys as the caller built them from getPathPrefix(), sent unchanged.
    void deleteFiles(QStringList files);
    void onDeleteSlot(int slot);
    // Rows of the queue table: a failed entry is queued again; a waiting or failed one removed.
    void retryRow(int row);
    void removeRow(int row);
    void abortTransfer();
    void pauseTransfer();
    void continueTransfer();

private slots:
    void on_btnPause_clicked();
    void on_btnAbort_clicked();
    void on_btnS3BanFile_clicked();
    void on_btnS3Unfinished_clicked();

signals:
    void itemClicked();
    void itemDoubleClicked();
    void banFile();

    void doSetup(int type, QString url, QString user, QString pass, QString sessiontoken);
    void doListObjectsAndSizes(QString bucket, QString pathPrefix, bool doSubDirs);
    void doUpdateCredentials(qint32 type, QString url, QString user, QString pass,
                             QString sessiontoken);
    void doUpload(S3Target target, QString key, QString path, quint64 ticket);
    void doDownload(S3Target target, QString key, QString path, quint64 ticket);
    void doResume(quint64 ticket);
    void doDelete(S3Target target, QString key);
    void doPause(quint64 ticket);
    void doAbort(quint64 ticket);
    void doListUnfinishedUploads(S3Target target, QStringList knownUploadIds);
    void doAbortMultipartUpload(S3Target target, QString key, QString uploadId);

    void transferProgress(int mode, QString bucket, QString object, qlonglong size,
                          qlonglong progress, int bytespersecond);
    void transferRetry(int retry, int retries, QString reason);
    void updateQueue(QList<Zelt_S3::fileEntry> files);
    void startUploadDownload();
    void betweenUploadDownloads();
    void endUploadDownload();
    void uploadsFinished();
    void uploadFailed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The folder a drop at position of the tree's or table's viewport goes into.
    QTreeWidgetItem *dropFolder(QObject *target, const QPoint &position) const;
    void startWorker();
    void showLoginFields(bool visible);
    void connectQueue();
    void showTree(const S3FolderTree &tree);
    void showPaused(bool paused);
    // Where entries made now go: what the last refresh named.
    S3Target storageTarget() const { return {workerType, url, bucket, rootFolder}; }
    // Whether the entry that just ended belongs to the tree shown.
    bool endedInTree() const;
    void onUploaded(const QString &key, qlonglong size, const QString &eTag);
    void onDeleted(const QString &key);
    QTreeWidgetItem *folderItem(const QString &path) const;
    bool listsKey(const QString &key) const;
    void uploadLocalFiles(const QList<S3TransferQueue::LocalFile> &files, bool noAll, bool yesAll,
                          const QString &pathOverride);
    void queueDeletes(const QStringList &keys);
    QString relativePath(QTreeWidgetItem *item) const;

    std::unique_ptr<Ui::Zelt_S3Class> ui;
    Zelt_LoginData *config = nullptr;
    bool serviceStorage = false;
    qint32 workerType = 1;
    QString url;
    QString user;
    QString pass;
    QString rootFolder;
    QString bucket;
    QString currentDir;
    QTreeWidgetItem *currentItem = nullptr;
    QString lastDownloadDir;
    QString lastUploadDir;
    QHash<QString, QIcon> iconCache;
    // Storage has been set up at least once; a refresh then waits for an idle queue.
    bool storageSetUp = false;
    bool refreshPending = false;
    // What the listing on its way and the tree shown were made from.
    S3Target listing;
    S3Target shown;

    Zelt_S3Worker *worker = nullptr;
    QThread *workerThread = nullptr;
    S3TransferQueue *queue = nullptr;
    // The queue on disk, for the signed-in user.
    std::unique_ptr<TransferJournal> journal;
    void keepTransfersOf(const QString &owner);
};
