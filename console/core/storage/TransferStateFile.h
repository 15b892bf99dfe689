#pragma once

#include "S3Target.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>

// One part of an upload that the server confirmed.
struct StoredPart
{
    qint32 number = 0;
    qint64 size = 0;
    QString eTag;

    friend bool operator==(const StoredPart &a, const StoredPart &b)
    {
        return a.number == b.number && a.size == b.size && a.eTag == b.eTag;
    }
};

// One upload or download of the queue as kept between runs. It never holds a secret: the
// credentials come from the session of the run that goes on with it.
struct StoredTransfer
{
    QString id;
    qint32 operation = 0; // S3QueueEntry::Upload or Download
    qint32 status = 0;    // S3QueueEntry::Status
    S3Target target;
    QString owner; // the console user the transfer belongs to
    QString key;
    QString local; // for a download also its partial file
    qint64 size = 0;
    QString reason; // why it failed or started over

    // Upload: what it takes to go on with the multipart upload.
    QString uploadId;
    QString contentType;
    qint64 partSize = 0;
    QList<StoredPart> parts;
    // The local file when the upload began; a changed file starts the upload over.
    qint64 fileSize = -1;
    QDateTime fileModified;

    // Download: the object as it was, so that the partial file is continued only for the same one.
    QString eTag;
    QDateTime lastModified;
    // The bytes of the partial file written without a gap (-1: not known, the file's length
    // counts). Ranges finish in any order, so the file may be longer.
    qint64 downloaded = -1;

    friend bool operator==(const StoredTransfer &a, const StoredTransfer &b)
    {
        return a.id == b.id && a.operation == b.operation && a.status == b.status &&
               a.target == b.target && a.owner == b.owner && a.key == b.key && a.local == b.local &&
               a.size == b.size && a.reason == b.reason && a.uploadId == b.uploadId &&
               a.contentType == b.contentType && a.partSize == b.partSize && a.parts == b.parts &&
               a.fileSize == b.fileSize && a.fileModified == b.fileModified && a.eTag == b.eTag &&
               a.lastModified == b.lastModified && a.downloaded == b.downloaded;
    }
};

// The transfer queue on disk: folder/transfers.json, owned by one console of the user at a time.
class TransferStateFile
{
    Q_DECLARE_TR_FUNCTIONS(TransferStateFile)

public:
    // The folder is created when missing.
    explicit TransferStateFile(const QString &folder);
    ~TransferStateFile();

    // Keeps a second console of the same user away from the file; a lock left by a process that
    // is gone is taken over. False, with a text for the user, while another console holds it.
    bool lock(QString *why);

    // Every stored transfer. A damaged file, or one of another format or version, is set aside
    // beside it (transfers.json.<time>.bad) and nothing is loaded; a single unusable entry is
    // skipped.
    QList<StoredTransfer> load();

    // Replaces the stored transfers at once: after a crash the file holds the old or the new
    // list, never a mix. Readable and writable by its owner only.
    bool save(const QList<StoredTransfer> &transfers, QString *why = nullptr);

    QString path() const;

private:
    void setAside(const QString &problem);

    QString m_path;
    QLockFile m_lock;
};
