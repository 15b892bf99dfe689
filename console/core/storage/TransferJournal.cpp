#include "TransferJournal.h"

#include "LogCategories.h"

#include <QFileInfo>

namespace {
bool isKeptOperation(const S3QueueEntry &entry)
{
    return (entry.operation == S3QueueEntry::Upload || entry.operation == S3QueueEntry::Download) &&
           entry.status != S3QueueEntry::Complete && entry.status != S3QueueEntry::Skipped &&
           !entry.id.isEmpty();
}
} // namespace

TransferJournal::TransferJournal(const QString &folder, const QString &owner) : ownerName(owner)
{
    auto candidate = std::make_unique<TransferStateFile>(folder);
    if (!candidate->lock(&whyNotKept))
        return;
    file = std::move(candidate);
    stored = file->load();
}

QList<S3QueueEntry> TransferJournal::interrupted(const S3Target &target)
{
    QList<S3QueueEntry> entries;
    for (const StoredTransfer &transfer : std::as_const(stored)) {
        if (transfer.owner != ownerName || !(transfer.target == target) ||
            handled.contains(transfer.id))
            continue;
        S3QueueEntry entry;
        entry.id = transfer.id;
        entry.operation = transfer.operation;
        entry.status = S3QueueEntry::Interrupted;
        entry.setTarget(transfer.target);
        entry.remote = transfer.key;
        entry.local = transfer.local;
        entry.size = transfer.size;
        entry.reason = transfer.reason;
        entries << entry;
        handled.insert(transfer.id);
    }
    return entries;
}

void TransferJournal::record(const QList<S3QueueEntry> &shown)
{
    if (!file)
        return;
    QSet<QString> shownIds;
    for (const S3QueueEntry &entry : shown)
        if (isKeptOperation(entry))
            shownIds.insert(entry.id);
    stored.removeIf([&](const StoredTransfer &transfer) {
        return handled.contains(transfer.id) && !shownIds.contains(transfer.id);
    });
    for (const S3QueueEntry &entry : shown) {
        if (!isKeptOperation(entry))
            continue;
        StoredTransfer *transfer = find(entry.id);
        if (!transfer) {
            stored.append(StoredTransfer{});
            transfer = &stored.last();
            transfer->id = entry.id;
            transfer->owner = ownerName;
        }
        transfer->operation = entry.operation;
        transfer->status = entry.status;
        transfer->target = entry.target();
        transfer->key = entry.remote;
        transfer->local = entry.local;
        transfer->size = entry.size;
        transfer->reason = entry.reason;
    }
    handled.unite(shownIds);
    save();
}

void TransferJournal::recordUpload(const QString &id, const Brenn_AWS::UploadState &state)
{
    StoredTransfer *transfer = find(id);
    if (!transfer)
        return;
    const bool newUpload = transfer->uploadId != state.uploadId;
    transfer->fileSize = state.fileSize;
    transfer->fileModified = state.fileModified;
    transfer->uploadId = state.uploadId;
    transfer->contentType = state.contentType;
    transfer->partSize = state.partSize;
    transfer->parts.clear();
    for (const Brenn_AWS::PartInfo &part : state.parts)
        transfer->parts.append({part.number, part.size, part.eTag});
    saveProgress(newUpload);
}

void TransferJournal::recordDownload(const QString &id, const Brenn_AWS::DownloadState &state)
{
    StoredTransfer *transfer = find(id);
    if (!transfer)
        return;
    const bool newDownload = transfer->eTag != state.eTag;
    transfer->eTag = state.eTag;
    transfer->lastModified = state.lastModified;
    transfer->downloaded = state.transferred;
    if (state.size > 0)
        transfer->size = state.size;
    saveProgress(newDownload);
}

std::optional<Brenn_AWS::UploadState> TransferJournal::uploadToContinue(const QString &id) const
{
    const StoredTransfer *transfer = find(id);
    if (!transfer || transfer->uploadId.isEmpty())
        return std::nullopt;
    Brenn_AWS::UploadState state;
    state.bucket = transfer->target.bucket;
    state.key = transfer->key;
    state.localFile = transfer->local;
    state.contentType = transfer->contentType;
    state.uploadId = transfer->uploadId;
    state.partSize = transfer->partSize;
    for (const StoredPart &part : transfer->parts)
        state.parts.append({part.number, part.size, part.eTag});
    state.fileSize = transfer->fileSize;
    state.fileModified = transfer->fileModified;
    return state;
}

std::optional<Brenn_AWS::DownloadState> TransferJournal::downloadToContinue(const QString &id) const
{
    const StoredTransfer *transfer = find(id);
    if (!transfer || transfer->eTag.isEmpty() || !QFileInfo::exists(transfer->local))
        return std::nullopt;
    Brenn_AWS::DownloadState state;
    state.bucket = transfer->target.bucket;
    state.key = transfer->key;
    state.localFile = transfer->local;
    state.eTag = transfer->eTag;
    state.size = transfer->size;
    const qint64 length = QFileInfo(transfer->local).size();
    state.transferred = transfer->downloaded < 0 ? length : qMin(transfer->downloaded, length);
    state.lastModified = transfer->lastModified;
    return state;
}

bool TransferJournal::localFileChanged(const QString &id) const
{
    const StoredTransfer *transfer = find(id);
    if (!transfer || transfer->uploadId.isEmpty())
        return false;
    const QFileInfo local(transfer->local);
    return !local.exists() || local.size() != transfer->fileSize ||
           local.lastModified().toUTC() != transfer->fileModified;
}

QStringList TransferJournal::knownUploadIds() const
{
    QStringList ids;
    for (const StoredTransfer &transfer : stored)
        if (!transfer.uploadId.isEmpty())
            ids << transfer.uploadId;
    return ids;
}

void TransferJournal::forgetProgress(const QString &id)
{
    StoredTransfer *transfer = find(id);
    if (!transfer)
        return;
    transfer->uploadId.clear();
    transfer->contentType.clear();
    transfer->partSize = 0;
    transfer->parts.clear();
    transfer->fileSize = -1;
    transfer->fileModified = QDateTime();
    transfer->eTag.clear();
    transfer->lastModified = QDateTime();
    transfer->downloaded = -1;
    save();
}

StoredTransfer *TransferJournal::find(const QString &id)
{
    return const_cast<StoredTransfer *>(std::as_const(*this).find(id));
}

const StoredTransfer *TransferJournal::find(const QString &id) const
{
    for (const StoredTransfer &transfer : stored)
        if (transfer.id == id)
            return &transfer;
    return nullptr;
}

TransferJournal::~TransferJournal()
{
    if (progressUnsaved)
        save();
}

void TransferJournal::saveProgress(bool urgent)
{
    constexpr qint64 progressIntervalMs = 1000;
    if (urgent || !sinceSaved.isValid() || sinceSaved.elapsed() >= progressIntervalMs)
        save();
    else
        progressUnsaved = true;
}

void TransferJournal::save()
{
    if (!file)
        return;
    progressUnsaved = false;
    sinceSaved.start();
    QString why;
    if (!file->save(stored, &why))
        qCWarning(lcSrv) << "The transfer list could not be kept:" << why;
}
