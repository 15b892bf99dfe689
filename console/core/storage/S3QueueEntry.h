#pragma once

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
        Failed
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
    // Why a Failed entry failed.
    QString reason;
    // Queued again after a failure: a download goes on with its partial file without asking.
    bool retried = false;
};

Q_DECLARE_METATYPE(S3QueueEntry)
