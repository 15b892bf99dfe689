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
};

Q_DECLARE_METATYPE(S3QueueEntry)
