#include <Brenn_AWS/Storage_S3.h>

#include "Storage_S3_Private.h"

namespace Brenn_AWS {

Storage_S3::Storage_S3(Type type, const QString &location, const QString &accessKeyId,
                       const QString &secretKey, const QString &sessionToken)
    : d(new Storage_S3_Private(type, location, accessKeyId, secretKey, sessionToken))
{
}

Storage_S3::Storage_S3() : d(new Storage_S3_Private()) {}

void Storage_S3::SetTimeouts(qint64 connectMs, qint64 stallMs)
{
    Storage_S3_Private::SetTimeouts(connectMs, stallMs);
}

Storage_S3::~Storage_S3()
{
    delete d;
}

void Storage_S3::ListObjects(const QString &bucket, const QString &prefix, QStringList &keys)
{
    d->ListObjects(bucket, prefix, keys);
}

void Storage_S3::ListObjects(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey, const QString &bucket, const QString &prefix,
                             QStringList &keys)
{
    d->ListObjects(type, location, accessKeyId, secretKey, bucket, prefix, keys);
}

void Storage_S3::ListObjectsWithInfo(const QString &bucket, const QString &prefix,
                                     QStringList &keys, QList<ObjectInfo> &infos)
{
    d->ListObjectsWithInfo(bucket, prefix, keys, infos);
}

void Storage_S3::ListObjectsWithInfo(Type type, const QString &location, const QString &accessKeyId,
                                     const QString &secretKey, const QString &bucket,
                                     const QString &prefix, QStringList &keys,
                                     QList<ObjectInfo> &infos)
{
    d->ListObjectsWithInfo(type, location, accessKeyId, secretKey, bucket, prefix, keys, infos);
}

ObjectInfo Storage_S3::GetObjectInfo(const QString &bucket, const QString &key)
{
    return d->GetObjectInfo(bucket, key);
}

ObjectInfo Storage_S3::GetObjectInfo(Type type, const QString &location, const QString &accessKeyId,
                                     const QString &secretKey, const QString &bucket,
                                     const QString &key)
{
    return d->GetObjectInfo(type, location, accessKeyId, secretKey, bucket, key);
}

QString Storage_S3::GetObjectETag(const QString &bucket, const QString &key)
{
    return d->GetObjectETag(bucket, key);
}

QString Storage_S3::GetObjectETag(Type type, const QString &location, const QString &accessKeyId,
                                  const QString &secretKey, const QString &bucket,
                                  const QString &key)
{
    return d->GetObjectETag(type, location, accessKeyId, secretKey, bucket, key);
}

qint64 Storage_S3::GetObjectSize(const QString &bucket, const QString &key)
{
    return d->GetObjectSize(bucket, key);
}

qint64 Storage_S3::GetObjectSize(Type type, const QString &location, const QString &accessKeyId,
                                 const QString &secretKey, const QString &bucket,
                                 const QString &key)
{
    return d->GetObjectSize(type, location, accessKeyId, secretKey, bucket, key);
}

qint64 Storage_S3::HasObject(const QString &bucket, const QString &key)
{
    return d->HasObject(bucket, key);
}

qint64 Storage_S3::HasObject(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey, const QString &bucket, const QString &key)
{
    return d->HasObject(type, location, accessKeyId, secretKey, bucket, key);
}

void Storage_S3::DeleteObject(const QString &bucket, const QString &key)
{
    d->DeleteObject(bucket, key);
}

void Storage_S3::DeleteObject(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket, const QString &key)
{
    d->DeleteObject(type, location, accessKeyId, secretKey, bucket, key);
}

void Storage_S3::UploadObject(const QString &bucket, const QString &key, const QString &localFile)
{
    d->UploadObject(bucket, key, localFile);
}

void Storage_S3::UploadObject(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket, const QString &key,
                              const QString &localFile)
{
    d->UploadObject(type, location, accessKeyId, secretKey, bucket, key, localFile);
}

void Storage_S3::UploadObject(const QString &bucket, const QString &key, const QByteArray &data)
{
    d->UploadObject(bucket, key, data);
}

void Storage_S3::UploadObject(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket, const QString &key,
                              const QByteArray &data)
{
    d->UploadObject(type, location, accessKeyId, secretKey, bucket, key, data);
}

void Storage_S3::DownloadObject(const QString &bucket, const QString &key, const QString &localFile)
{
    d->DownloadObject(bucket, key, localFile);
}

void Storage_S3::DownloadObject(Type type, const QString &location, const QString &accessKeyId,
                                const QString &secretKey, const QString &bucket, const QString &key,
                                const QString &localFile)
{
    d->DownloadObject(type, location, accessKeyId, secretKey, bucket, key, localFile);
}

void Storage_S3::DownloadObject(const QString &bucket, const QString &key, QByteArray &data)
{
    d->DownloadObject(bucket, key, data);
}

void Storage_S3::DownloadObject(Type type, const QString &location, const QString &accessKeyId,
                                const QString &secretKey, const QString &bucket, const QString &key,
                                QByteArray &data)
{
    d->DownloadObject(type, location, accessKeyId, secretKey, bucket, key, data);
}

void Storage_S3::PreSignedURL(const QString &bucket, const QString &key, QString &url,
                              qint64 expirySeconds)
{
    d->PreSignedURL(bucket, key, url, expirySeconds);
}

void Storage_S3::PreSignedURL(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket, const QString &key,
                              QString &url, qint64 expirySeconds)
{
    d->PreSignedURL(type, location, accessKeyId, secretKey, bucket, key, url, expirySeconds);
}

void Storage_S3::DownloadObjectsAsZip(const QString &bucket, const QStringList &keys,
                                      const QString &zipFile)
{
    d->DownloadObjectsAsZip(bucket, keys, zipFile);
}

void Storage_S3::DownloadObjectsAsZip(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QStringList &keys,
                                      const QString &zipFile)
{
    d->DownloadObjectsAsZip(type, location, accessKeyId, secretKey, bucket, keys, zipFile);
}

void Storage_S3::DownloadObjectsAsZip(const QString &bucket, const QStringList &keys,
                                      QByteArray &zip)
{
    d->DownloadObjectsAsZip(bucket, keys, zip);
}

void Storage_S3::DownloadObjectsAsZip(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QStringList &keys,
                                      QByteArray &zip)
{
    d->DownloadObjectsAsZip(type, location, accessKeyId, secretKey, bucket, keys, zip);
}

MPInfo Storage_S3::DownloadObjectMultipart(const QString &bucket, const QString &key,
                                           const QString &localFile)
{
    return d->DownloadObjectMultipart(bucket, key, localFile);
}

MPInfo Storage_S3::DownloadObjectMultipart(Type type, const QString &location,
                                           const QString &accessKeyId, const QString &secretKey,
                                           const QString &bucket, const QString &key,
                                           const QString &localFile)
{
    return d->DownloadObjectMultipart(type, location, accessKeyId, secretKey, bucket, key,
                                      localFile);
}

MPInfo Storage_S3::UploadObjectMultipart(const QString &bucket, const QString &key,
                                         const QString &localFile, const QString &contentType)
{
    return d->UploadObjectMultipart(bucket, key, localFile, contentType);
}

MPInfo Storage_S3::UploadObjectMultipart(Type type, const QString &location,
                                         const QString &accessKeyId, const QString &secretKey,
                                         const QString &bucket, const QString &key,
                                         const QString &localFile, const QString &contentType)
{
    return d->UploadObjectMultipart(type, location, accessKeyId, secretKey, bucket, key, localFile,
                                    contentType);
}

void Storage_S3::AbortDownloadObjectMultipart()
{
    d->AbortDownloadObjectMultipart();
}

void Storage_S3::AbortUploadObjectMultipart()
{
    d->AbortUploadObjectMultipart();
}

void Storage_S3::AbortUploadObjectMultipart(Type type, const QString &location,
                                            const QString &accessKeyId, const QString &secretKey)
{
    d->AbortUploadObjectMultipart(type, location, accessKeyId, secretKey);
}

QList<PartInfo> Storage_S3::ListParts(const QString &bucket, const QString &key,
                                      const QString &uploadId)
{
    return d->ListParts(bucket, key, uploadId);
}

QList<PartInfo> Storage_S3::ListParts(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QString &key,
                                      const QString &uploadId)
{
    return d->ListParts(type, location, accessKeyId, secretKey, bucket, key, uploadId);
}

QList<MultipartUploadInfo> Storage_S3::ListMultipartUploads(const QString &bucket,
                                                            const QString &prefix)
{
    return d->ListMultipartUploads(bucket, prefix);
}

QList<MultipartUploadInfo> Storage_S3::ListMultipartUploads(Type type, const QString &location,
                                                            const QString &accessKeyId,
                                                            const QString &secretKey,
                                                            const QString &bucket,
                                                            const QString &prefix)
{
    return d->ListMultipartUploads(type, location, accessKeyId, secretKey, bucket, prefix);
}

void Storage_S3::AbortMultipartUpload(const QString &bucket, const QString &key,
                                      const QString &uploadId)
{
    d->AbortMultipartUpload(bucket, key, uploadId);
}

void Storage_S3::AbortMultipartUpload(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QString &key,
                                      const QString &uploadId)
{
    d->AbortMultipartUpload(type, location, accessKeyId, secretKey, bucket, key, uploadId);
}

UploadState Storage_S3::UploadObjectMultipartState() const
{
    return d->UploadObjectMultipartState();
}

DownloadState Storage_S3::DownloadObjectMultipartState() const
{
    return d->DownloadObjectMultipartState();
}

void Storage_S3::ContinueUploadObjectMultipart(const UploadState &state)
{
    d->ContinueUploadObjectMultipart(state);
}

void Storage_S3::ContinueUploadObjectMultipart(Type type, const QString &location,
                                               const QString &accessKeyId, const QString &secretKey,
                                               const UploadState &state)
{
    d->ContinueUploadObjectMultipart(type, location, accessKeyId, secretKey, state);
}

void Storage_S3::ContinueDownloadObjectMultipart(const DownloadState &state)
{
    d->ContinueDownloadObjectMultipart(state);
}

void Storage_S3::ContinueDownloadObjectMultipart(Type type, const QString &location,
                                                 const QString &accessKeyId,
                                                 const QString &secretKey,
                                                 const DownloadState &state)
{
    d->ContinueDownloadObjectMultipart(type, location, accessKeyId, secretKey, state);
}

qint64 Storage_S3::SetDownloadChunkSize(qint64 bytes)
{
    return d->SetDownloadChunkSize(bytes);
}

qint64 Storage_S3::SetUploadChunkSize(qint64 bytes)
{
    return d->SetUploadChunkSize(bytes);
}

qint32 Storage_S3::SetTransferConcurrency(qint32 parts)
{
    return d->SetTransferConcurrency(parts);
}

bool Storage_S3::SetIntegrityChecks(bool enabled)
{
    return d->SetIntegrityChecks(enabled);
}

void Storage_S3::UpdateCredentials(const QString &accessKeyId, const QString &secretKey,
                                   const QString &sessionToken)
{
    d->UpdateCredentials(accessKeyId, secretKey, sessionToken);
}

} // namespace Brenn_AWS
