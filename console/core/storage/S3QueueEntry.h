#pragma once

#include "S3Target.h"

#include <QMetaType>
#include <QString>

// One queued storage operation of the S3 browser's transfer queue, and its state.
struct S3QueueEntry
{
    enum Status
    {
        Queued,
        InProgress,
        Paused,
        Skipped,
        Complete,
        Failed,
        // Left unfinished when the console last ended; kept on disk until continued or
        // discarded.
        Interrupted
    };
    enum Operation
    {
        Upload,
        Download,
        Delete,
        SizeQuery
    };

    qint32 status = Queued;
    qint32 operation = Upload;
    QString bucket;
    QString remote;
    QString local;
    qint64 size = 0;
    // Why a Failed entry failed, or why a waiting one waits.
    QString reason;
    // Queued again after a failure: a download goes on with its partial file without asking.
    bool retried = false;
    // With bucket, where the entry goes: the service and the user's area it was made for.
    qint32 storageType = 1;
    QString endpoint{};
    QString rootFolder{};

    // Names an upload or a download across runs of the console.
    QString id{};
    // The running entry waits for its connection to come back.
    bool waitingForConnection = false;
    S3Target target() const { return {storageType, endpoint, bucket, rootFolder}; }
    void setTarget(const S3Target &target)
    {
        storageType = target.type;
        endpoint = target.url;
        bucket = target.bucket;
        rootFolder = target.rootFolder;
    }
};

Q_DECLARE_METATYPE(S3QueueEntry)
