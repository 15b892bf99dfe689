#include "Storage_S3_Private.h"

#include "FacadeSupport.h"

#include <JlCompress.h>
#include <quazip.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUuid>

#include <algorithm>
#include <atomic>

namespace Brenn_AWS {

namespace {

std::atomic<qint64> connectTimeoutMs{60000};
std::atomic<qint64> stallTimeoutMs{600000};

// The key's last path segment as a local file name; names that would leave the folder or name
// nothing get a unique name instead.
QString localNameOf(const QString &key)
{
    const QString name = key.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QUuid::createUuid().toString(QUuid::WithoutBraces);
    return name;
}

// An empty key names no object but the bucket: a DELETE of it would delete the bucket, a PUT
// would report an upload that stored nothing.
void checkObjectKeys(const QStringList &keys)
{
    if (keys.contains(QString()))
        throw emptyObjectKey();
}

// Every file of the folder into a new archive, with names flagged as UTF-8 so that zip tools
// show "ä.txt" as such and not in their legacy code page. Hidden files too: a key such as
// ".env" is as much an object as any other.
bool packFlat(const QString &folder, const QString &zipFile)
{
    QuaZip zip(zipFile);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (!JlCompress::compressFile(&zip, QDir(folder).filePath(name), name))
            return false;
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

} // namespace

Storage_S3_Private::Storage_S3_Private(Type type, const QString &location,
                                       const QString &accessKeyId, const QString &secretKey,
                                       const QString &sessionToken)
    : singleUser(true), client(newClient(type, location, accessKeyId, secretKey, sessionToken))
{
}

Storage_S3_Private::Storage_S3_Private() : singleUser(false) {}

Storage_S3_Private::~Storage_S3_Private() = default;

std::unique_ptr<Storage_S3_Private::Client>
Storage_S3_Private::newClient(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &sessionToken)
{
    aws::TransportOptions options;
    options.requestTimeoutMs = stallTimeoutMs;
    options.connectTimeoutMs = connectTimeoutMs;
    options.verifyTls = false;
    return std::make_unique<Client>(s3EndpointFor(type, location),
                                    aws::Credentials{accessKeyId, secretKey, sessionToken},
                                    options);
}

void Storage_S3_Private::SetTimeouts(qint64 connectMs, qint64 stallMs)
{
    connectTimeoutMs = qMax<qint64>(1, connectMs);
    stallTimeoutMs = qMax<qint64>(1, stallMs);
}

void Storage_S3_Private::CheckSingleUser() const
{
    checkMode(singleUser, true);
}

void Storage_S3_Private::CheckMultiUser() const
{
    checkMode(singleUser, false);
}

template <class Work> auto Storage_S3_Private::onStoredClient(Work work)
{
    return onStoredClient(QStringList(), work);
}

template <class Work>
auto Storage_S3_Private::onStoredClient(const QStringList &objectKeys, Work work)
{
    CheckSingleUser();
    checkObjectKeys(objectKeys);
    return work(*client);
}

template <class Work>
auto Storage_S3_Private::onCallClient(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      Work work)
{
    return onCallClient(QStringList(), type, location, accessKeyId, secretKey, work);
}

template <class Work>
auto Storage_S3_Private::onCallClient(const QStringList &objectKeys, Type type,
                                      const QString &location, const QString &accessKeyId,
                                      const QString &secretKey, Work work)
{
    CheckMultiUser();
    checkObjectKeys(objectKeys);
    const std::unique_ptr<Client> callClient =
        newClient(type, location, accessKeyId, secretKey, QString());
    return work(*callClient);
}

// ---- the public forms: mode check, then the work on the right client ----

void Storage_S3_Private::ListObjects(const QString &bucket, const QString &prefix,
                                     QStringList &keys)
{
    onStoredClient([&](Client &c) { ListObjects(c, bucket, prefix, keys); });
}

void Storage_S3_Private::ListObjects(Type type, const QString &location, const QString &accessKeyId,
                                     const QString &secretKey, const QString &bucket,
                                     const QString &prefix, QStringList &keys)
{
    onCallClient(type, location, accessKeyId, secretKey,
                 [&](Client &c) { ListObjects(c, bucket, prefix, keys); });
}

void Storage_S3_Private::ListObjectsWithInfo(const QString &bucket, const QString &prefix,
                                             QStringList &keys, QList<ObjectInfo> &infos)
{
    onStoredClient([&](Client &c) { ListObjectsWithInfo(c, bucket, prefix, keys, infos); });
}

void Storage_S3_Private::ListObjectsWithInfo(Type type, const QString &location,
                                             const QString &accessKeyId, const QString &secretKey,
                                             const QString &bucket, const QString &prefix,
                                             QStringList &keys, QList<ObjectInfo> &infos)
{
    onCallClient(type, location, accessKeyId, secretKey,
                 [&](Client &c) { ListObjectsWithInfo(c, bucket, prefix, keys, infos); });
}

ObjectInfo Storage_S3_Private::GetObjectInfo(const QString &bucket, const QString &key)
{
    return onStoredClient({key}, [&](Client &c) { return GetObjectInfo(c, bucket, key); });
}

ObjectInfo Storage_S3_Private::GetObjectInfo(Type type, const QString &location,
                                             const QString &accessKeyId, const QString &secretKey,
                                             const QString &bucket, const QString &key)
{
    return onCallClient({key}, type, location, accessKeyId, secretKey,
                        [&](Client &c) { return GetObjectInfo(c, bucket, key); });
}

QString Storage_S3_Private::GetObjectETag(const QString &bucket, const QString &key)
{
    return onStoredClient({key}, [&](Client &c) { return GetObjectETag(c, bucket, key); });
}

QString Storage_S3_Private::GetObjectETag(Type type, const QString &location,
                                          const QString &accessKeyId, const QString &secretKey,
                                          const QString &bucket, const QString &key)
{
    return onCallClient({key}, type, location, accessKeyId, secretKey,
                        [&](Client &c) { return GetObjectETag(c, bucket, key); });
}

qint64 Storage_S3_Private::GetObjectSize(const QString &bucket, const QString &key)
{
    return onStoredClient({key}, [&](Client &c) { return GetObjectSize(c, bucket, key); });
}

qint64 Storage_S3_Private::GetObjectSize(Type type, const QString &location,
                                         const QString &accessKeyId, const QString &secretKey,
                                         const QString &bucket, const QString &key)
{
    return onCallClient({key}, type, location, accessKeyId, secretKey,
                        [&](Client &c) { return GetObjectSize(c, bucket, key); });
}

qint64 Storage_S3_Private::HasObject(const QString &bucket, const QString &key)
{
    return onStoredClient([&](Client &c) { return HasObject(c, bucket, key); });
}

qint64 Storage_S3_Private::HasObject(Type type, const QString &location, const QString &accessKeyId,
                                     const QString &secretKey, const QString &bucket,
                                     const QString &key)
{
    return onCallClient(type, location, accessKeyId, secretKey,
                        [&](Client &c) { return HasObject(c, bucket, key); });
}

void Storage_S3_Private::DeleteObject(const QString &bucket, const QString &key)
{
    onStoredClient({key}, [&](Client &c) { DeleteObject(c, bucket, key); });
}

void Storage_S3_Private::DeleteObject(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QString &key)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { DeleteObject(c, bucket, key); });
}

void Storage_S3_Private::UploadObject(const QString &bucket, const QString &key,
                                      const QString &localFile)
{
    onStoredClient({key}, [&](Client &c) { UploadObject(c, bucket, key, localFile); });
}

void Storage_S3_Private::UploadObject(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QString &key,
                                      const QString &localFile)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { UploadObject(c, bucket, key, localFile); });
}

void Storage_S3_Private::UploadObject(const QString &bucket, const QString &key,
                                      const QByteArray &data)
{
    onStoredClient({key}, [&](Client &c) { UploadObject(c, bucket, key, data); });
}

void Storage_S3_Private::UploadObject(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QString &key,
                                      const QByteArray &data)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { UploadObject(c, bucket, key, data); });
}

void Storage_S3_Private::DownloadObject(const QString &bucket, const QString &key,
                                        const QString &localFile)
{
    onStoredClient({key}, [&](Client &c) { DownloadObject(c, bucket, key, localFile); });
}

void Storage_S3_Private::DownloadObject(Type type, const QString &location,
                                        const QString &accessKeyId, const QString &secretKey,
                                        const QString &bucket, const QString &key,
                                        const QString &localFile)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { DownloadObject(c, bucket, key, localFile); });
}

void Storage_S3_Private::DownloadObject(const QString &bucket, const QString &key, QByteArray &data)
{
    onStoredClient({key}, [&](Client &c) { DownloadObject(c, bucket, key, data); });
}

void Storage_S3_Private::DownloadObject(Type type, const QString &location,
                                        const QString &accessKeyId, const QString &secretKey,
                                        const QString &bucket, const QString &key, QByteArray &data)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { DownloadObject(c, bucket, key, data); });
}

void Storage_S3_Private::PreSignedURL(const QString &bucket, const QString &key, QString &url,
                                      qint64 expirySeconds)
{
    onStoredClient({key}, [&](Client &c) { PreSignedURL(c, bucket, key, url, expirySeconds); });
}

void Storage_S3_Private::PreSignedURL(Type type, const QString &location,
                                      const QString &accessKeyId, const QString &secretKey,
                                      const QString &bucket, const QString &key, QString &url,
                                      qint64 expirySeconds)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { PreSignedURL(c, bucket, key, url, expirySeconds); });
}

void Storage_S3_Private::DownloadObjectsAsZip(const QString &bucket, const QStringList &keys,
                                              const QString &zipFile)
{
    onStoredClient(keys, [&](Client &c) { DownloadObjectsAsZip(c, bucket, keys, zipFile); });
}

void Storage_S3_Private::DownloadObjectsAsZip(Type type, const QString &location,
                                              const QString &accessKeyId, const QString &secretKey,
                                              const QString &bucket, const QStringList &keys,
                                              const QString &zipFile)
{
    onCallClient(keys, type, location, accessKeyId, secretKey,
                 [&](Client &c) { DownloadObjectsAsZip(c, bucket, keys, zipFile); });
}

void Storage_S3_Private::DownloadObjectsAsZip(const QString &bucket, const QStringList &keys,
                                              QByteArray &zip)
{
    onStoredClient(keys, [&](Client &c) { DownloadObjectsAsZip(c, bucket, keys, zip); });
}

void Storage_S3_Private::DownloadObjectsAsZip(Type type, const QString &location,
                                              const QString &accessKeyId, const QString &secretKey,
                                              const QString &bucket, const QStringList &keys,
                                              QByteArray &zip)
{
    onCallClient(keys, type, location, accessKeyId, secretKey,
                 [&](Client &c) { DownloadObjectsAsZip(c, bucket, keys, zip); });
}

MPInfo Storage_S3_Private::DownloadObjectMultipart(const QString &bucket, const QString &key,
                                                   const QString &localFile)
{
    return onStoredClient(
        {key}, [&](Client &c) { return DownloadObjectMultipart(c, bucket, key, localFile); });
}

MPInfo Storage_S3_Private::DownloadObjectMultipart(Type type, const QString &location,
                                                   const QString &accessKeyId,
                                                   const QString &secretKey, const QString &bucket,
                                                   const QString &key, const QString &localFile)
{
    return onCallClient({key}, type, location, accessKeyId, secretKey, [&](Client &c) {
        return DownloadObjectMultipart(c, bucket, key, localFile);
    });
}

MPInfo Storage_S3_Private::UploadObjectMultipart(const QString &bucket, const QString &key,
                                                 const QString &localFile,
                                                 const QString &contentType)
{
    return onStoredClient({key}, [&](Client &c) {
        return UploadObjectMultipart(c, bucket, key, localFile, contentType);
    });
}

MPInfo Storage_S3_Private::UploadObjectMultipart(Type type, const QString &location,
                                                 const QString &accessKeyId,
                                                 const QString &secretKey, const QString &bucket,
                                                 const QString &key, const QString &localFile,
                                                 const QString &contentType)
{
    return onCallClient({key}, type, location, accessKeyId, secretKey, [&](Client &c) {
        return UploadObjectMultipart(c, bucket, key, localFile, contentType);
    });
}

void Storage_S3_Private::AbortUploadObjectMultipart()
{
    onStoredClient([&](Client &c) { AbortUploadObjectMultipart(c); });
}

void Storage_S3_Private::AbortUploadObjectMultipart(Type type, const QString &location,
                                                    const QString &accessKeyId,
                                                    const QString &secretKey)
{
    onCallClient(type, location, accessKeyId, secretKey,
                 [&](Client &c) { AbortUploadObjectMultipart(c); });
}

QList<PartInfo> Storage_S3_Private::ListParts(const QString &bucket, const QString &key,
                                              const QString &uploadId)
{
    return onStoredClient({key}, [&](Client &c) { return ListParts(c, bucket, key, uploadId); });
}

QList<PartInfo> Storage_S3_Private::ListParts(Type type, const QString &location,
                                              const QString &accessKeyId, const QString &secretKey,
                                              const QString &bucket, const QString &key,
                                              const QString &uploadId)
{
    return onCallClient({key}, type, location, accessKeyId, secretKey,
                        [&](Client &c) { return ListParts(c, bucket, key, uploadId); });
}

QList<MultipartUploadInfo> Storage_S3_Private::ListMultipartUploads(const QString &bucket,
                                                                    const QString &prefix)
{
    return onStoredClient([&](Client &c) { return ListMultipartUploads(c, bucket, prefix); });
}

QList<MultipartUploadInfo>
Storage_S3_Private::ListMultipartUploads(Type type, const QString &location,
                                         const QString &accessKeyId, const QString &secretKey,
                                         const QString &bucket, const QString &prefix)
{
    return onCallClient(type, location, accessKeyId, secretKey,
                        [&](Client &c) { return ListMultipartUploads(c, bucket, prefix); });
}

void Storage_S3_Private::AbortMultipartUpload(const QString &bucket, const QString &key,
                                              const QString &uploadId)
{
    onStoredClient({key}, [&](Client &c) { AbortMultipartUpload(c, bucket, key, uploadId); });
}

void Storage_S3_Private::AbortMultipartUpload(Type type, const QString &location,
                                              const QString &accessKeyId, const QString &secretKey,
                                              const QString &bucket, const QString &key,
                                              const QString &uploadId)
{
    onCallClient({key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { AbortMultipartUpload(c, bucket, key, uploadId); });
}

void Storage_S3_Private::ContinueUploadObjectMultipart(const UploadState &state)
{
    onStoredClient({state.key}, [&](Client &c) { ContinueUploadObjectMultipart(c, state); });
}

void Storage_S3_Private::ContinueUploadObjectMultipart(Type type, const QString &location,
                                                       const QString &accessKeyId,
                                                       const QString &secretKey,
                                                       const UploadState &state)
{
    onCallClient({state.key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { ContinueUploadObjectMultipart(c, state); });
}

void Storage_S3_Private::ContinueDownloadObjectMultipart(const DownloadState &state)
{
    onStoredClient({state.key}, [&](Client &c) { ContinueDownloadObjectMultipart(c, state); });
}

void Storage_S3_Private::ContinueDownloadObjectMultipart(Type type, const QString &location,
                                                         const QString &accessKeyId,
                                                         const QString &secretKey,
                                                         const DownloadState &state)
{
    onCallClient({state.key}, type, location, accessKeyId, secretKey,
                 [&](Client &c) { ContinueDownloadObjectMultipart(c, state); });
}

// ---- whole-object operations ----

template <class Take>
void Storage_S3_Private::forEachListed(Client &client, const QString &bucket, const QString &prefix,
                                       Take take)
{
    QString continuationToken;
    do {
        const aws::ListPage page =
            valueOrThrow(client.listObjectsV2(bucket, prefix, continuationToken));
        for (const aws::S3Object &object : page.objects)
            take(object);
        continuationToken = page.truncated ? page.nextContinuationToken : QString();
    } while (!continuationToken.isEmpty());
}

void Storage_S3_Private::ListObjects(Client &client, const QString &bucket, const QString &prefix,
                                     QStringList &keys)
{
    keys.clear();
    forEachListed(client, bucket, prefix,
                  [&keys](const aws::S3Object &object) { keys.append(object.key); });
}

void Storage_S3_Private::ListObjectsWithInfo(Client &client, const QString &bucket,
                                             const QString &prefix, QStringList &keys,
                                             QList<ObjectInfo> &infos)
{
    keys.clear();
    infos.clear();
    forEachListed(client, bucket, prefix, [&](const aws::S3Object &object) {
        keys.append(object.key);
        infos.append(ObjectInfo{object.size, withoutQuotes(object.eTag)});
    });
}

ObjectInfo Storage_S3_Private::GetObjectInfo(Client &client, const QString &bucket,
                                             const QString &key)
{
    const aws::ObjectHead head = valueOrThrow(client.headObject(bucket, key));
    return ObjectInfo{head.size, withoutQuotes(head.eTag)};
}

QString Storage_S3_Private::GetObjectETag(Client &client, const QString &bucket, const QString &key)
{
    return valueOrThrow(client.headObject(bucket, key)).eTag;
}

qint64 Storage_S3_Private::GetObjectSize(Client &client, const QString &bucket, const QString &key)
{
    return valueOrThrow(client.headObject(bucket, key)).size;
}

qint64 Storage_S3_Private::HasObject(Client &client, const QString &bucket, const QString &key)
{
    // Not an error either: an empty key names no object, and asking would HEAD the bucket.
    if (key.isEmpty())
        return -1;
    const auto head = client.headObject(bucket, key);
    return head.isSuccess() ? head.value().size : -1;
}

void Storage_S3_Private::DeleteObject(Client &client, const QString &bucket, const QString &key)
{
    valueOrThrow(client.deleteObject(bucket, key));
}

void Storage_S3_Private::UploadObject(Client &client, const QString &bucket, const QString &key,
                                      const QString &localFile)
{
    QFile source(localFile);
    if (!source.exists())
        throw missingUploadFile(localFile);
    if (!source.open(QIODevice::ReadOnly))
        throw cannotOpenFile(localFile);
    valueOrThrow(client.putObject(bucket, key, &source, source.size()));
}

void Storage_S3_Private::UploadObject(Client &client, const QString &bucket, const QString &key,
                                      const QByteArray &data)
{
    QBuffer source;
    source.setData(data);
    source.open(QIODevice::ReadOnly);
    valueOrThrow(client.putObject(bucket, key, &source, data.size()));
}

void Storage_S3_Private::DownloadObject(Client &client, const QString &bucket, const QString &key,
                                        const QString &localFile)
{
    // The body goes to a temporary file that replaces the target only once the whole object
    // has arrived: a failed download leaves the local file as it was.
    QSaveFile target(localFile);
    target.setDirectWriteFallback(true);
    bool targetFailed = false;
    const auto openTarget = [&target, &targetFailed] {
        if (!target.isOpen() && !targetFailed)
            targetFailed = !target.open(QIODevice::WriteOnly);
        return !targetFailed;
    };
    const aws::BodySink sink = [&](const char *data, qint64 size) {
        if (!openTarget())
            return false;
        targetFailed = target.write(data, size) != size;
        return !targetFailed;
    };
    const auto received = client.getObject(bucket, key, QByteArray(), sink);
    if (!received.isSuccess() && !targetFailed)
        throw exceptionFrom(received.error());
    if (!openTarget() || !target.commit())
        throw cannotWriteFile(localFile);
}

void Storage_S3_Private::DownloadObject(Client &client, const QString &bucket, const QString &key,
                                        QByteArray &data)
{
    data.clear();
    QByteArray body;
    const aws::BodySink sink = [&body](const char *bytes, qint64 size) {
        body.append(bytes, size);
        return true;
    };
    valueOrThrow(client.getObject(bucket, key, QByteArray(), sink));
    data = body;
}

void Storage_S3_Private::PreSignedURL(Client &client, const QString &bucket, const QString &key,
                                      QString &url, qint64 expirySeconds)
{
    url = client.presignedGetUrl(bucket, key, expirySeconds, QDateTime::currentDateTimeUtc());
}

void Storage_S3_Private::DownloadObjectsAsZip(Client &client, const QString &bucket,
                                              const QStringList &keys, const QString &zipFile)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        throw cannotWriteFile(folder.path());
    for (const QString &key : keys)
        DownloadObject(client, bucket, key, folder.filePath(localNameOf(key)));
    if (!packFlat(folder.path(), zipFile)) {
        QFile::remove(zipFile);
        throw QAWSException(333, QStringLiteral("Compression Error"),
                            QStringLiteral("Error compressing files"));
    }
}

void Storage_S3_Private::DownloadObjectsAsZip(Client &client, const QString &bucket,
                                              const QStringList &keys, QByteArray &zip)
{
    QTemporaryFile archive;
    if (!archive.open())
        throw cannotWriteFile(archive.fileName());
    archive.close();
    DownloadObjectsAsZip(client, bucket, keys, archive.fileName());
    QFile packed(archive.fileName());
    if (!packed.open(QIODevice::ReadOnly))
        throw cannotOpenFile(archive.fileName());
    zip = packed.readAll();
}

} // namespace Brenn_AWS
