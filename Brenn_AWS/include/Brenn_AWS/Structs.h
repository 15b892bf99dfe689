#pragma once

#include <QDateTime>
#include <QString>

namespace Brenn_AWS {

struct ObjectInfo
{
    qint64 size = 0; // Content-Length in bytes
    QString eTag;    // without double quotes
};

// The result of one chunk of a chunked transfer.
struct MPInfo
{
    qint64 size = 0;        // the object's size (download) or the file's size (upload)
    qint64 transferred = 0; // bytes moved so far, this chunk included
    qint32 bytesPerSecond = 0;
    bool finished = false;
    QString eTag; // upload only: the part's ETag, or the object's on the finishing call
};

// Temporary credentials from the security token service.
struct STSInfo
{
    QString accessKeyId;
    QString secretAccessKey;
    QString sessionToken;
    QDateTime expiration; // UTC, whole seconds
    QString assumedRoleId;
    QString arn;
};

} // namespace Brenn_AWS
