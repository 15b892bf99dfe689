#pragma once

#include "Outcome.h"

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

// The bodies of S3's XML replies; a body that is not the expected document is an error.
Outcome<ListPage> parseListObjectsV2(const QByteArray &body);
Outcome<QString> parseInitiateMultipartUpload(const QByteArray &body); // the upload id
// The object's ETag; an <Error> document (which S3 may send with status 200) is that error.
Outcome<QString> parseCompleteMultipartUpload(const QByteArray &body);
QByteArray completeMultipartUploadBody(const QList<CompletedPart> &parts);

} // namespace Brenn_AWS::aws
