#pragma once

#include "Outcome.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace Brenn_AWS::aws {

struct S3Object
{
    QString key;
    qint64 size = 0;
    QString eTag; // as sent, quotes included
};

struct ListPage
{
    QList<S3Object> objects;
    bool truncated = false;
    QString nextContinuationToken;
};

struct CompletedPart
{
    int partNumber = 0;
    QString eTag;
};

struct ListedPart
{
    int partNumber = 0;
    qint64 size = 0;
    QString eTag; // as sent, quotes included
};

struct PartsPage
{
    QList<ListedPart> parts;
    bool truncated = false;
    int nextPartNumberMarker = 0;
};

struct OpenUpload
{
    QString key;
    QString uploadId;
    QDateTime initiated;
};

struct UploadsPage
{
    QList<OpenUpload> uploads;
    bool truncated = false;
    QString nextKeyMarker;
    QString nextUploadIdMarker;
};

// The bodies of S3's XML replies; a body that is not the expected document is an error.
Outcome<ListPage> parseListObjectsV2(const QByteArray &body);
Outcome<QString> parseInitiateMultipartUpload(const QByteArray &body); // the upload id
// The object's ETag; an <Error> document (which S3 may send with status 200) is that error.
Outcome<QString> parseCompleteMultipartUpload(const QByteArray &body);
Outcome<PartsPage> parseListParts(const QByteArray &body);
Outcome<UploadsPage> parseListMultipartUploads(const QByteArray &body);
QByteArray completeMultipartUploadBody(const QList<CompletedPart> &parts);

} // namespace Brenn_AWS::aws
