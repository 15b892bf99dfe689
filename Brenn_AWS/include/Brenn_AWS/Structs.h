#pragma once

#include <QDateTime>
#include <QList>
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

// A part of a multipart upload as the server lists it.
struct PartInfo
{
    qint32 number = 0;
    qint64 size = 0;
    QString eTag; // without double quotes
};

// A multipart upload begun and neither completed nor aborted.
struct MultipartUploadInfo
{
    QString key;
    QString uploadId;
    QDateTime initiated; // UTC
};

// What a chunked upload needs to go on later, in another process.
struct UploadState
{
    QString bucket, key, localFile, contentType;
    QString uploadId;      // empty: no upload stored
    qint64 partSize = 0;   // part k covers [(k - 1) * partSize, k * partSize) of the file
    QList<PartInfo> parts; // confirmed by the server, in order
    // The local file when the upload began. While it is unchanged (same size and modification
    // time), a listed part with the ETag stored here for it is taken without reading it again.
    qint64 fileSize = -1;
    QDateTime fileModified{}; // UTC
};

// What a chunked download needs to go on later.
struct DownloadState
{
    QString bucket;
    QString key; // empty: no download stored
    QString localFile;
    QString eTag; // without double quotes
    qint64 size = 0;
    qint64 transferred = 0;
    QDateTime lastModified; // UTC; invalid when the server did not say
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
