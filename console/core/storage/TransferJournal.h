#pragma once

#include "S3QueueEntry.h"
#include "TransferStateFile.h"

#include <Brenn_AWS/Structs.h>

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

// The transfer queue kept on disk, so that uploads and downloads survive a crash, a quit and a
// long outage: every change of the queue, and every new upload id or download, is written at
// once; the progress of a running transfer at most once a second (many chunks a second on a fast
// link; what a crash loses of it is sent again). Only one console of a user keeps it; another
// one runs with nothing kept (isKept() false).
class TransferJournal
{
public:
    // folder: where transfers.json lives; owner: the signed-in user.
    TransferJournal(const QString &folder, const QString &owner);
    // Writes the progress not written yet.
    ~TransferJournal();

    const QString &owner() const { return ownerName; }
    bool isKept() const { return file != nullptr; }
    // Why nothing is kept, for the user; empty while it is.
    QString notKeptReason() const { return whyNotKept; }

    // The owner's unfinished transfers to the target that this console has not shown yet, as
    // Interrupted entries.
    QList<S3QueueEntry> interrupted(const S3Target &target);
    // What the queue shows now: its uploads and downloads are kept with their state, those
    // it showed before and shows no more (finished, removed) are forgotten, and every other
    // stored transfer stays as it is.
    void record(const QList<S3QueueEntry> &shown);
    // What the server confirmed of an upload or a download after a chunk.
    void recordUpload(const QString &id, const Brenn_AWS::UploadState &state);
    void recordDownload(const QString &id, const Brenn_AWS::DownloadState &state);
    // The stored state to go on with, when there is one.
    std::optional<Brenn_AWS::UploadState> uploadToContinue(const QString &id) const;
    std::optional<Brenn_AWS::DownloadState> downloadToContinue(const QString &id) const;
    // The local file is no longer the one whose upload began.
    bool localFileChanged(const QString &id) const;
    // The multipart uploads the kept transfers go on with.
    QStringList knownUploadIds() const;
    // Nothing to go on with: the next start of the entry begins anew.
    void forgetProgress(const QString &id);

private:
    StoredTransfer *find(const QString &id);
    const StoredTransfer *find(const QString &id) const;
    void save();
    // Writes a transfer's progress unless it was written less than a second ago.
    void saveProgress(bool urgent);

    QString ownerName;
    std::unique_ptr<TransferStateFile> file;
    QString whyNotKept;
    QList<StoredTransfer> stored;
    // The ids this console has shown: only these does record() forget.
    QSet<QString> handled;
    QElapsedTimer sinceSaved;
    bool progressUnsaved = false;
};
