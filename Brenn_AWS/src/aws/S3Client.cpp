#include "S3Client.h"

#include <QCryptographicHash>
#include <QLocale>

namespace Brenn_AWS::aws {

S3Client::S3Client(const Endpoint &endpoint, const Credentials &credentials,
                   const TransportOptions &options)
    : ServiceClient(endpoint, credentials, QStringLiteral("s3"), options, false)
{
}

namespace {

// An HTTP date ("Wed, 21 Oct 2015 07:28:00 GMT"), always in GMT.
QDateTime httpDate(const QByteArray &value)
{
    const QDateTime time = QLocale::c().toDateTime(
        QString::fromLatin1(value).trimmed(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

} // namespace

HttpRequest S3Client::objectRequest(const QByteArray &method, const QString &bucket,
                                    const QString &key) const
{
    return newRequest(method, '/' + bucket.toUtf8() + '/' + key.toUtf8());
}

HttpResponse S3Client::sendUnsigned(HttpRequest &request, QIODevice *body, qint64 bodySize,
                                    const BodySink &sink)
{
    request.setHeader("x-amz-content-sha256", unsignedPayload);
    return send(request, unsignedPayload, body, bodySize, sink);
}

HttpResponse S3Client::sendUnsigned(HttpRequest &request, const QByteArray &body)
{
    request.setHeader("x-amz-content-sha256", unsignedPayload);
    return send(request, unsignedPayload, body);
}

Outcome<ListPage> S3Client::listObjectsV2(const QString &bucket, const QString &prefix,
                                          const QString &continuationToken)
{
    HttpRequest request = newRequest("GET", '/' + bucket.toUtf8());
    request.addQuery("list-type", "2");
    if (!prefix.isEmpty())
        request.addQuery("prefix", prefix.toUtf8());
    if (!continuationToken.isEmpty())
        request.addQuery("continuation-token", continuationToken.toUtf8());
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    return parseListObjectsV2(response.body);
}

Outcome<ObjectHead> S3Client::headObject(const QString &bucket, const QString &key, int partNumber)
{
    HttpRequest request = objectRequest("HEAD", bucket, key);
    if (partNumber > 0)
        request.addQuery("partNumber", QByteArray::number(partNumber));
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    // SSE-S3 ("AES256") keeps the MD5 ETags; every other kind of encryption does not.
    const QByteArray encryption = response.header("x-amz-server-side-encryption");
    return ObjectHead{
        response.header("content-length").toLongLong(), QString::fromUtf8(response.header("etag")),
        (!encryption.isEmpty() && encryption != "AES256") ||
            !response.header("x-amz-server-side-encryption-customer-algorithm").isEmpty(),
        response.header("x-amz-mp-parts-count").toInt(),
        httpDate(response.header("last-modified"))};
}

Outcome<qint64> S3Client::getObject(const QString &bucket, const QString &key,
                                    const QByteArray &range, const BodySink &sink,
                                    const QString &ifMatchETag)
{
    HttpRequest request = objectRequest("GET", bucket, key);
    if (!range.isEmpty())
        request.setHeader("Range", range);
    if (!ifMatchETag.isEmpty())
        request.setHeader("If-Match", '"' + ifMatchETag.toUtf8() + '"');
    qint64 received = 0;
    const BodySink counting = [&sink, &received](const char *data, qint64 size) {
        received += size;
        return sink(data, size);
    };
    const HttpResponse response = sendUnsigned(request, nullptr, 0, counting);
    if (!response.isSuccess())
        return xmlFailure(response);
    return received;
}

Outcome<Done> S3Client::putObject(const QString &bucket, const QString &key, QIODevice *body,
                                  qint64 size, const QString &contentType)
{
    HttpRequest request = objectRequest("PUT", bucket, key);
    if (!contentType.isEmpty())
        request.setHeader("Content-Type", contentType.toUtf8());
    const HttpResponse response = sendUnsigned(request, body, size);
    if (!response.isSuccess())
        return xmlFailure(response);
    return Done{};
}

Outcome<Done> S3Client::deleteObject(const QString &bucket, const QString &key)
{
    HttpRequest request = objectRequest("DELETE", bucket, key);
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    return Done{};
}

Outcome<QString> S3Client::createMultipartUpload(const QString &bucket, const QString &key,
                                                 const QString &contentType,
                                                 const QString &contentDisposition)
{
    HttpRequest request = objectRequest("POST", bucket, key);
    request.addQuery("uploads", "");
    if (!contentType.isEmpty())
        request.setHeader("Content-Type", contentType.toUtf8());
    if (!contentDisposition.isEmpty())
        request.setHeader("Content-Disposition", contentDisposition.toUtf8());
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    return parseInitiateMultipartUpload(response.body);
}

Outcome<QString> S3Client::uploadPart(const QString &bucket, const QString &key, int partNumber,
                                      const QString &uploadId, const QByteArray &data,
                                      const QString &contentType, const QByteArray &md5)
{
    HttpRequest request = objectRequest("PUT", bucket, key);
    request.addQuery("partNumber", QByteArray::number(partNumber));
    request.addQuery("uploadId", uploadId.toUtf8());
    request.setHeader(
        "Content-MD5",
        (md5.isEmpty() ? QCryptographicHash::hash(data, QCryptographicHash::Md5) : md5).toBase64());
    if (!contentType.isEmpty())
        request.setHeader("Content-Type", contentType.toUtf8());
    const HttpResponse response = sendUnsigned(request, data);
    if (!response.isSuccess())
        return xmlFailure(response);
    return QString::fromUtf8(response.header("etag"));
}

Outcome<QString> S3Client::completeMultipartUpload(const QString &bucket, const QString &key,
                                                   const QString &uploadId,
                                                   const QList<CompletedPart> &parts)
{
    HttpRequest request = objectRequest("POST", bucket, key);
    request.addQuery("uploadId", uploadId.toUtf8());
    request.setHeader("Content-Type", "application/xml");
    const HttpResponse response = sendUnsigned(request, completeMultipartUploadBody(parts));
    if (!response.isSuccess())
        return xmlFailure(response);
    return parseCompleteMultipartUpload(response.body);
}

Outcome<PartsPage> S3Client::listParts(const QString &bucket, const QString &key,
                                       const QString &uploadId, int partNumberMarker)
{
    HttpRequest request = objectRequest("GET", bucket, key);
    request.addQuery("uploadId", uploadId.toUtf8());
    if (partNumberMarker > 0)
        request.addQuery("part-number-marker", QByteArray::number(partNumberMarker));
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    return parseListParts(response.body);
}

Outcome<UploadsPage> S3Client::listMultipartUploads(const QString &bucket, const QString &prefix,
                                                    const QString &keyMarker,
                                                    const QString &uploadIdMarker)
{
    HttpRequest request = newRequest("GET", '/' + bucket.toUtf8());
    request.addQuery("uploads", "");
    if (!prefix.isEmpty())
        request.addQuery("prefix", prefix.toUtf8());
    if (!keyMarker.isEmpty())
        request.addQuery("key-marker", keyMarker.toUtf8());
    if (!uploadIdMarker.isEmpty())
        request.addQuery("upload-id-marker", uploadIdMarker.toUtf8());
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    return parseListMultipartUploads(response.body);
}

Outcome<Done> S3Client::abortMultipartUpload(const QString &bucket, const QString &key,
                                             const QString &uploadId)
{
    HttpRequest request = objectRequest("DELETE", bucket, key);
    request.addQuery("uploadId", uploadId.toUtf8());
    const HttpResponse response = sendUnsigned(request);
    if (!response.isSuccess())
        return xmlFailure(response);
    return Done{};
}

QString S3Client::presignedGetUrl(const QString &bucket, const QString &key, qint64 expirySeconds,
                                  const QDateTime &now) const
{
    HttpRequest request = objectRequest("GET", bucket, key);
    presignRequest(request, expirySeconds, signingParameters(now));
    return QString::fromUtf8(request.url());
}

} // namespace Brenn_AWS::aws
