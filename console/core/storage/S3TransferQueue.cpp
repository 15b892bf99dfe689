#include "S3TransferQueue.h"

#include "Prompt.h"
#include "S3Paths.h"
#include "TransferJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace {
QString newTransferId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}
} // namespace

S3TransferQueue::S3TransferQueue(QObject *dialogParent)
    : QObject(dialogParent), dialogParent(dialogParent)
{
    current.status = S3QueueEntry::Complete;
}

bool S3TransferQueue::overwriteAnswered(const QString &title, const QString &text, bool &yesAll,
                                        bool &noAll)
{
    if (noAll)
        return false;
    if (yesAll)
        return true;
    switch (Prompt::question(dialogParent, title, text,
                             Prompt::Yes | Prompt::YesToAll | Prompt::No | Prompt::NoToAll)) {
    case Prompt::Yes:
        return true;
    case Prompt::YesToAll:
        yesAll = true;
        return true;
    case Prompt::NoToAll:
        noAll = true;
        return false;
    default:
        return false;
    }
}

void S3TransferQueue::uploadFiles(const QList<LocalFile> &files, bool noAll, bool yesAll,
                                  const QString &pathOverride, const Folder &folder)
{
    for (const LocalFile &file : files) {
        const QFileInfo info(file.path);
        const QString key =
            pathOverride.isEmpty()
                ? S3Paths::objectKey(folder.currentDir, file.name)
                : S3Paths::overrideKey(folder.target.rootFolder, pathOverride, file.name);
        if (folder.lists && folder.lists(key) &&
            !overwriteAnswered(
                tr("Overwrite?"),
                tr("File %1 already exists on the Server. Overwrite?").arg(info.fileName()), yesAll,
                noAll))
            continue;
        if (!info.exists())
            continue;
        S3QueueEntry entry;
        entry.operation = S3QueueEntry::Upload;
        entry.setTarget(folder.target);
        entry.local = QDir::toNativeSeparators(info.absoluteFilePath());
        entry.size = info.size();
        entry.remote = key;
        entry.id = newTransferId();
        queue.append(entry);
    }
    beginTransfers();
    processQueue();
}

void S3TransferQueue::deleteKeys(const S3Target &target, const QStringList &keys)
{
    for (const QString &key : keys) {
        S3QueueEntry entry;
        entry.operation = S3QueueEntry::Delete;
        entry.setTarget(target);
        entry.remote = key;
        queue.append(entry);
    }
    processQueue();
}

void S3TransferQueue::beginTransfers()
{
    transfersAnnounced = true;
    emit startUploadDownload();
}

void S3TransferQueue::addDownloads(const QList<S3QueueEntry> &entries)
{
    for (S3QueueEntry entry : entries) {
        entry.id = newTransferId();
        queue.append(entry);
    }
    processQueue();
}

void S3TransferQueue::restoreInterrupted(const S3Target &target)
{
    if (!journal)
        return;
    const QList<S3QueueEntry> entries = journal->interrupted(target);
    if (entries.isEmpty())
        return;
    failedEntries.append(entries);
    publishQueue();
    const auto answer = Prompt::question(
        dialogParent, tr("Interrupted transfers"),
        (entries.size() == 1
             ? tr("A transfer was left unfinished when the console last ended. Continue it "
                  "now?\n\nNo keeps it for later; Discard ends it and deletes what it left.")
             : tr("%1 transfers were left unfinished when the console last ended. Continue them "
                  "now?\n\nNo keeps them for later; Discard ends them and deletes what they "
                  "left.")
                   .arg(entries.size())),
        Prompt::Yes | Prompt::No | Prompt::Discard, Prompt::Yes);
    if (answer == Prompt::No)
        return;
    failedEntries.removeIf([&](const S3QueueEntry &failed) {
        return std::any_of(entries.cbegin(), entries.cend(),
                           [&](const S3QueueEntry &entry) { return entry.id == failed.id; });
    });
    if (answer == Prompt::Discard) {
        discard(entries);
        publishQueue();
        return;
    }
    for (S3QueueEntry entry : entries) {
        entry.status = S3QueueEntry::Queued;
        entry.retried = true;
        queue.append(entry);
    }
    beginTransfers();
    processQueue();
}

void S3TransferQueue::discard(const QList<S3QueueEntry> &entries)
{
    for (const S3QueueEntry &entry : entries) {
        if (entry.operation == S3QueueEntry::Upload) {
            if (const auto upload = journal->uploadToContinue(entry.id))
                emit doAbortMultipartUpload(entry.target(), entry.remote, upload->uploadId);
        } else if (journal->downloadToContinue(entry.id)) {
            QFile::remove(entry.local);
        }
    }
}

bool S3TransferQueue::isActive() const
{
    return current.status == S3QueueEntry::InProgress || current.status == S3QueueEntry::Paused;
}

bool S3TransferQueue::isIdle() const
{
    return !isActive() && queue.isEmpty() && abortsPending == 0;
}

void S3TransferQueue::processQueue()
{
    for (;;) {
        // One operation at a time; a paused one holds the queue, and so does an abort until
        // the worker has ended the transfer.
        if (isActive() || abortsPending > 0) {
            publishQueue();
            return;
        }
        if (queue.isEmpty()) {
            publishQueue();
            if (transfersAnnounced) {
                transfersAnnounced = false;
                emit endUploadDownload();
            }
            emit idle();
            return;
        }
        current = queue.takeFirst();
        current.status = S3QueueEntry::InProgress;
        publishQueue();
        switch (current.operation) {
        case S3QueueEntry::Upload:
            startUpload();
            return;
        case S3QueueEntry::Download:
            startDownload(true);
            if (isActive())
                return;
            break; // skipped: on with the next entry
        case S3QueueEntry::Delete:
            emit doDelete(current.target(), current.remote);
            return;
        default:
            current.status = S3QueueEntry::Skipped; // nothing produces size queries
            break;
        }
    }
}

void S3TransferQueue::startUpload()
{
    const auto stored = journal ? journal->uploadToContinue(current.id) : std::nullopt;
    if (stored && journal->localFileChanged(current.id)) {
        // The parts on the server are of another file: that upload ends, this one begins anew.
        emit doAbortMultipartUpload(current.target(), current.remote, stored->uploadId);
        journal->forgetProgress(current.id);
        current.reason = tr("The local file changed after the upload was interrupted; the upload "
                            "started over.");
        publishQueue();
    } else if (stored) {
        emit doContinueUpload(current.target(), current.remote, current.local, ++lastTicket,
                              *stored);
        return;
    }
    emit doUpload(current.target(), current.remote, current.local, ++lastTicket);
}

void S3TransferQueue::startDownload(bool ask)
{
    emit betweenUploadDownloads();
    if (ask && !current.retried && QFileInfo::exists(current.local) &&
        !overwriteAnswered(tr("Overwrite?"), tr("Overwrite %1?").arg(current.local), overwriteAll,
                           skipAll)) {
        current.status = S3QueueEntry::Skipped;
        publishQueue();
        return;
    }
    if (!ask) {
        emit doResume(++lastTicket);
        return;
    }
    if (const auto stored = journal ? journal->downloadToContinue(current.id) : std::nullopt)
        emit doContinueDownload(current.target(), current.remote, current.local, ++lastTicket,
                                *stored);
    else
        emit doDownload(current.target(), current.remote, current.local, ++lastTicket);
}

void S3TransferQueue::publishQueue()
{
    QList<S3QueueEntry> shown = queue;
    if (isActive())
        shown.prepend(current);
    const bool transfersShown = !shown.isEmpty();
    shown.append(failedEntries);
    if (journal)
        journal->record(shown);
    emit updateQueue(shown);
    emit controlsChanged(transfersShown, current.status == S3QueueEntry::Paused);
}

int S3TransferQueue::failedIndex(int row) const
{
    const int index = row - (isActive() ? 1 : 0) - int(queue.size());
    return index >= 0 && index < failedEntries.size() ? index : -1;
}

void S3TransferQueue::retryRow(int row)
{
    const int index = failedIndex(row);
    if (index < 0)
        return;
    S3QueueEntry entry = failedEntries.takeAt(index);
    entry.status = S3QueueEntry::Queued;
    entry.reason.clear();
    entry.retried = true;
    queue.append(entry);
    if (entry.operation != S3QueueEntry::Delete)
        beginTransfers();
    processQueue();
}

void S3TransferQueue::removeRow(int row)
{
    const int waiting = row - (isActive() ? 1 : 0);
    const int failed = failedIndex(row);
    if (waiting >= 0 && waiting < queue.size())
        queue.removeAt(waiting);
    else if (failed >= 0)
        failedEntries.removeAt(failed);
    else
        return;
    publishQueue();
}

void S3TransferQueue::failCurrent(const QAWSException &ex)
{
    current.status = S3QueueEntry::Failed;
    current.reason = ex.message;
    failedEntries.append(current);
    finishCurrent(S3QueueEntry::Failed);
}

void S3TransferQueue::pauseTransfer()
{
    if (current.status != S3QueueEntry::InProgress)
        return;
    current.status = S3QueueEntry::Paused;
    emit doPause(lastTicket);
    publishQueue();
}

void S3TransferQueue::continueTransfer()
{
    // The transfer may have ended with the chunk that was running when the pause came.
    if (current.status != S3QueueEntry::Paused)
        return;
    current.status = S3QueueEntry::InProgress;
    publishQueue();
    if (current.operation == S3QueueEntry::Download)
        startDownload(false);
    else if (current.operation == S3QueueEntry::Upload)
        emit doResume(++lastTicket);
    // A deletion is one request: pausing it only held the queue.
    else
        processQueue();
}

void S3TransferQueue::abortTransfer()
{
    queue.clear();
    if (isActive())
        current.status = S3QueueEntry::Skipped;
    ++abortsPending;
    emit doAbort(lastTicket);
    publishQueue();
}

void S3TransferQueue::onAbortFinished()
{
    if (abortsPending > 0 && --abortsPending == 0)
        processQueue();
}

void S3TransferQueue::dropWaiting(int slot)
{
    removeRow(slot + (isActive() ? 1 : 0));
}

void S3TransferQueue::resetProgress()
{
    emit transferProgress(-1, QString(), QString(), 0, 0, 0);
}

void S3TransferQueue::finishCurrent(S3QueueEntry::Status status)
{
    current.status = status;
    resetProgress();
    publishQueue();
}

void S3TransferQueue::onUploadFinished(QString key, qlonglong size, QString ETag)
{
    // Stored, even when an abort came too late for it.
    const bool aborted = abortsPending > 0;
    if (!aborted)
        finishCurrent(S3QueueEntry::Complete);
    emit uploaded(key, size, ETag);
    if (aborted)
        return;
    if (queue.isEmpty())
        emit uploadsFinished();
    processQueue();
}

void S3TransferQueue::onTransferWaiting(bool waiting, QString reason)
{
    if (!isActive())
        return;
    current.waitingForConnection = waiting;
    current.reason = reason;
    publishQueue();
}

void S3TransferQueue::onUploadState(quint64 ticket, Brenn_AWS::UploadState state)
{
    if (journal && ticket == lastTicket && isActive())
        journal->recordUpload(current.id, state);
}

void S3TransferQueue::onDownloadState(quint64 ticket, Brenn_AWS::DownloadState state)
{
    if (journal && ticket == lastTicket && isActive())
        journal->recordDownload(current.id, state);
}

void S3TransferQueue::onStartedOver(quint64 ticket, QString reason)
{
    if (ticket != lastTicket || !isActive())
        return;
    if (journal)
        journal->forgetProgress(current.id);
    current.reason = reason;
    publishQueue();
}

void S3TransferQueue::onUploadFailed(QAWSException ex)
{
    if (abortsPending > 0)
        return;
    current.status = S3QueueEntry::Failed;
    current.reason = ex.message;
    failedEntries.append(current);
    emit uploadFailed();
    resetProgress();
    Prompt::critical(dialogParent, tr("Upload Error"),
                     tr("Error uploading Object to S3 Storage: %1").arg(ex.message));
    publishQueue();
    processQueue();
}

void S3TransferQueue::onDownloadFinished()
{
    if (abortsPending > 0)
        return;
    finishCurrent(S3QueueEntry::Complete);
    processQueue();
}

void S3TransferQueue::onDownloadFailed(QAWSException ex)
{
    if (abortsPending > 0)
        return;
    failCurrent(ex);
    Prompt::critical(dialogParent, tr("An error has occurred"),
                     tr("An error has occurred during the download operation. Please try again "
                        "later. If this problem persists, contact your system "
                        "administrator.\n\nError Message: %1")
                         .arg(ex.message));
    processQueue();
}

void S3TransferQueue::onDeleteFinished()
{
    const QString key = current.remote;
    if (abortsPending == 0)
        finishCurrent(S3QueueEntry::Complete);
    emit deleted(key);
    if (abortsPending == 0)
        processQueue();
}

void S3TransferQueue::onDeleteFailed(QAWSException ex)
{
    if (abortsPending > 0)
        return;
    failCurrent(ex);
    Prompt::critical(dialogParent, tr("Delete Error"),
                     tr("Error deleting Object from S3 Storage: %1").arg(ex.message));
    processQueue();
}
