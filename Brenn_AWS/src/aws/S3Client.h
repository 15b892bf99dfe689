#pragma once

#include "Outcome.h"
#include "S3Responses.h"
#include "ServiceClient.h"

namespace Brenn_AWS::aws {

struct ObjectHead
{
    qint64 size = 0; // of the part, when one was asked for
    QString eTag;    // as sent, quotes included
    // Encrypted with a KMS key or the customer's own (SSE-C): S3 gives such objects ETags
    // that are no MD5 of their data, whatever their form.
    bool keyEncrypted = false;
    int partsCount = 0;     // sent only for a part of an object uploaded in parts
    QDateTime lastModified; // UTC; invalid when not sent
};

// S3 operations, path-style (the bucket is the first path segment), payloads unsigned.
class S3Client : public ServiceClient
{
public:
    S3Client(const Endpoint &endpoint, const Credentials &credentials,
             const TransportOptions &options = {});

    // One page of a flat listing; the prefix and the token are left out when empty.
    Outcome<ListPage> listObjectsV2(const QString &bucket, const QString &prefix,
                                    const QString &continuationToken);
    // With a part number, the head of that part of an object uploaded in parts (of the whole
    // object, for others).
    Outcome<ObjectHead> headObject(const QString &bucket, const QString &key, int partNumber = 0);
    // The body goes to `sink`; the result is the number of bytes it received. `range` is the
    // Range header's value, or empty for the whole object. With an ETag (without quotes), only
    // the object that still has it is sent; another fails with status 412.
    Outcome<qint64> getObject(const QString &bucket, const QString &key, const QByteArray &range,
                              const BodySink &sink, const QString &ifMatchETag = {});
    Outcome<Done> putObject(const QString &bucket, const QString &key, QIODevice *body, qint64 size,
                            const QString &contentType = {});
    Outcome<Done> deleteObject(const QString &bucket, const QString &key);
    // The upload id.
    Outcome<QString> createMultipartUpload(const QString &bucket, const QString &key,
                                           const QString &contentType,
                                           const QString &contentDisposition);
    // The part's ETag. The part goes with its Content-MD5: `md5`, the binary digest of `data`
    // when the caller has it already, or computed here.
    Outcome<QString> uploadPart(const QString &bucket, const QString &key, int partNumber,
                                const QString &uploadId, const QByteArray &data,
                                const QString &contentType, const QByteArray &md5 = {});
    // The object's ETag.
    Outcome<QString> completeMultipartUpload(const QString &bucket, const QString &key,
                                             const QString &uploadId,
                                             const QList<CompletedPart> &parts);
    // One page of the upload's parts, those above the marker (0: from the first).
    Outcome<PartsPage> listParts(const QString &bucket, const QString &key, const QString &uploadId,
                                 int partNumberMarker);
    // One page of the bucket's open uploads below the prefix, after the markers (empty: from the
    // first).
    Outcome<UploadsPage> listMultipartUploads(const QString &bucket, const QString &prefix,
                                              const QString &keyMarker,
                                              const QString &uploadIdMarker);
    Outcome<Done> abortMultipartUpload(const QString &bucket, const QString &key,
                                       const QString &uploadId);
    QString presignedGetUrl(const QString &bucket, const QString &key, qint64 expirySeconds,
                            const QDateTime &now) const;

private:
    HttpRequest objectRequest(const QByteArray &method, const QString &bucket,
                              const QString &key) const;
    HttpResponse sendUnsigned(HttpRequest &request, QIODevice *body = nullptr, qint64 bodySize = 0,
                              const BodySink &sink = {});
    HttpResponse sendUnsigned(HttpRequest &request, const QByteArray &body);
};

} // namespace Brenn_AWS::aws
