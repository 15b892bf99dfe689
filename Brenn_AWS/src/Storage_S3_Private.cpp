#include "Storage_S3_Private.h"

#include "FacadeSupport.h"

#include <JlCompress.h>
#include <quazip.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <limits>

namespace Brenn_AWS {

namespace {

constexpr qint64 minimumPartSize = 5242880; // S3 refuses smaller parts except the last

std::atomic<qint64> connectTimeoutMs{60000};
std::atomic<qint64> stallTimeoutMs{600000};

// Bytes per second of one chunk: whole bytes per millisecond, times 1000; 0 below a millisecond.
qint32 chunkSpeed(qint64 bytes, qint64 elapsedMs)
{
    if (elapsedMs <= 0)
        return 0;
    return static_cast<qint32>(
        qMin<qint64>((bytes / elapsedMs) * 1000, std::numeric_limits<qint32>::max()));
}

// The key's last path segment as a local file name; names that would leave the folder or name
// nothing get a unique name instead.
QString localNameOf(const QString &key)
{
    const QString name = key.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QUuid::createUuid().toString(QUuid::WithoutBraces);
    return name;
}

QString withoutQuotes(QString eTag)
{
    return eTag.remove(QLatin1Char('"'));
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

// How many parts of this size make up a file (an empty file is one empty part).
qint64 partCount(qint64 fileSize, qint64 partSize)
{
    return qMax<qint64>(1, (fileSize + partSize - 1) / partSize);
}

// A transfer that asks nothing of the server reports itself as done.
MPInfo nothingToTransfer()
{
    MPInfo info;
    info.finished = true;
    return info;
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

// ---- chunked transfers ----

void Storage_S3_Private::resetDownloadValues()
{
    downloadBucket.clear();
    downloadKey.clear();
    downloadFile.clear();
    downloadedBytes = 0;
    downloadSize = 0;
    downloadETag.clear();
    downloadLastModified = QDateTime();
    downloadDigest.reset();
    if (downloadStream) {
        downloadStream->close();
        downloadStream.reset();
    }
}

void Storage_S3_Private::startDownload(Client &client, const QString &bucket, const QString &key,
                                       const QString &localFile)
{
    const aws::ObjectHead head = valueOrThrow(client.headObject(bucket, key));
    const std::optional<qint64> partSize =
        integrityChecks ? learnDigestPartSize(client, bucket, key, head) : std::nullopt;
    // The previous download's stream is closed; its partial file stays on disk.
    resetDownloadValues();
    auto stream = std::make_unique<QFile>(localFile);
    if (!stream->open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw cannotOpenFile(localFile);
    downloadStream = std::move(stream);
    downloadBucket = bucket;
    downloadKey = key;
    downloadFile = localFile;
    downloadSize = head.size;
    downloadETag = withoutQuotes(head.eTag);
    downloadLastModified = head.lastModified;
    if (partSize)
        downloadDigest = std::make_unique<aws::StreamDigest>(*partSize);
}

std::optional<qint64> Storage_S3_Private::learnDigestPartSize(Client &client, const QString &bucket,
                                                              const QString &key,
                                                              const aws::ObjectHead &head)
{
    if (head.keyEncrypted)
        return std::nullopt;
    const QString eTag = withoutQuotes(head.eTag);
    const int parts = aws::multipartCount(eTag);
    // A single part is the whole object; other ETags tell their layout themselves.
    if (parts <= 1)
        return aws::digestPartSize(eTag, head.size, head.size, parts);
    // The uploader chose the part size, so only the server can tell it.
    const auto first = client.headObject(bucket, key, 1);
    if (!first.isSuccess()) {
        if (aws::isTransient(first.error()))
            throw exceptionFrom(first.error());
        return std::nullopt; // a server that knows no part numbers
    }
    if (first.value().eTag != head.eTag)
        return std::nullopt; // replaced in between
    return aws::digestPartSize(eTag, head.size, first.value().size, first.value().partsCount);
}

bool Storage_S3_Private::rewindDownloadDigest()
{
    // A failed chunk may have hashed bytes that were cut off again.
    if (!downloadDigest || downloadDigest->size() == downloadedBytes)
        return true;
    QFile written(downloadFile);
    return written.open(QIODevice::ReadOnly) && downloadDigest->rewind(written, downloadedBytes);
}

bool Storage_S3_Private::middlePartsAsLearnt(Client &client)
{
    // S3 lets parts differ in length: the download was hashed in the object's own layout only
    // if those between the first and the last are as long as the first. Asked only of data that
    // does not match, since a match needs no proof.
    const int parts = aws::multipartCount(downloadETag);
    for (int part = 2; part < parts; ++part) {
        const auto head = client.headObject(downloadBucket, downloadKey, part);
        if (!head.isSuccess() || head.value().size != downloadDigest->partSize())
            return false;
    }
    return true;
}

void Storage_S3_Private::checkDownloadedData(Client &client)
{
    if (!downloadDigest)
        return;
    const QString computed = downloadDigest->eTag();
    if (computed.compare(downloadETag, Qt::CaseInsensitive) == 0 || !middlePartsAsLearnt(client))
        return;
    const QString message =
        QStringLiteral("the downloaded data (%1) does not match the server's ETag %2.")
            .arg(computed, downloadETag);
    const QString badFile = downloadFile;
    resetDownloadValues();
    QFile::remove(badFile);
    throw integrityFailure(message);
}

MPInfo Storage_S3_Private::DownloadObjectMultipart(Client &client, const QString &bucket,
                                                   const QString &key, const QString &localFile)
{
    if (bucket.isEmpty() || localFile.isEmpty())
        return nothingToTransfer();
    if (localFile != downloadFile || bucket != downloadBucket || key != downloadKey)
        startDownload(client, bucket, key, localFile);

    qint64 received = 0;
    qint32 speed = 0;
    // An empty object or a complete partial file needs no request; ranges cannot name zero bytes.
    if (downloadedBytes < downloadSize) {
        if (!rewindDownloadDigest())
            throw cannotReadFile(localFile);
        const qint64 last = qMin(downloadedBytes + downloadChunkSize, downloadSize) - 1;
        const QByteArray range =
            "bytes=" + QByteArray::number(downloadedBytes) + '-' + QByteArray::number(last);
        bool writeFailed = false;
        const aws::BodySink sink = [&](const char *data, qint64 size) {
            writeFailed = downloadStream->write(data, size) != size;
            if (writeFailed)
                return false;
            received += size;
            if (downloadDigest)
                downloadDigest->addData(data, size);
            return true;
        };
        QElapsedTimer timer;
        timer.start();
        // Only the object the download began with, never a replacement stitched to it.
        const auto outcome = client.getObject(bucket, key, range, sink, downloadETag);
        if (!outcome.isSuccess() && outcome.error().httpStatus == 412)
            failChangedDownload(outcome.error());
        // On disk after every chunk, so the file always shows the progress made.
        writeFailed = writeFailed || !downloadStream->flush();
        const qint64 elapsedMs = timer.elapsed();
        if (!outcome.isSuccess() || writeFailed || received != last - downloadedBytes + 1) {
            // Back to where the chunk began, so the same call asks for the same range again.
            downloadStream->resize(downloadedBytes);
            downloadStream->seek(downloadedBytes);
            if (writeFailed)
                throw cannotWriteFile(localFile);
            if (!outcome.isSuccess())
                throw exceptionFrom(outcome.error());
            throw exceptionFrom(aws::AwsError{aws::ErrorType::NetworkConnection, QString(),
                                              QStringLiteral("Response body length doesn't "
                                                             "match the requested range."),
                                              -1});
        }
        downloadedBytes += received;
        speed = chunkSpeed(received, elapsedMs);
    }

    MPInfo info;
    info.size = downloadSize;
    info.transferred = downloadedBytes;
    info.bytesPerSecond = speed;
    info.finished = downloadedBytes >= downloadSize;
    if (info.finished) {
        checkDownloadedData(client);
        resetDownloadValues();
    }
    return info;
}

void Storage_S3_Private::failChangedDownload(const aws::AwsError &error)
{
    const QString partialFile = downloadFile;
    resetDownloadValues();
    QFile::remove(partialFile);
    // Named as S3 names it even where a server sent no error document.
    throw exceptionFrom(error.exceptionName.isEmpty()
                            ? aws::errorFromName(QStringLiteral("PreconditionFailed"),
                                                 error.message, error.httpStatus)
                            : error);
}

void Storage_S3_Private::ContinueDownloadObjectMultipart(Client &client, const DownloadState &state)
{
    if (state.bucket.isEmpty() || state.localFile.isEmpty() || state.eTag.isEmpty())
        throw incompleteTransferState(QStringLiteral("bucket, local file or ETag"));
    const QString eTag = withoutQuotes(state.eTag);
    std::optional<qint64> partSize;
    if (integrityChecks) {
        const aws::ObjectHead head = valueOrThrow(client.headObject(state.bucket, state.key));
        // Another object by now: the next chunk's If-Match fails, and the download with it.
        if (withoutQuotes(head.eTag) == eTag)
            partSize = learnDigestPartSize(client, state.bucket, state.key, head);
    }
    resetDownloadValues();
    auto stream = std::make_unique<QFile>(state.localFile);
    if (!stream->open(QIODevice::ReadWrite))
        throw cannotOpenFile(state.localFile);
    qint64 present = stream->size();
    // A file longer than the object is no part of it.
    if (present > state.size && stream->resize(0))
        present = 0;
    if (partSize) {
        // The check covers the whole file: the bytes from before are hashed again.
        downloadDigest = std::make_unique<aws::StreamDigest>(*partSize);
        if (!downloadDigest->rewind(*stream, present))
            downloadDigest.reset();
    }
    if (!stream->seek(present))
        throw cannotReadFile(state.localFile);
    downloadStream = std::move(stream);
    downloadBucket = state.bucket;
    downloadKey = state.key;
    downloadFile = state.localFile;
    downloadedBytes = present;
    downloadSize = state.size;
    downloadETag = eTag;
    downloadLastModified = state.lastModified;
}

DownloadState Storage_S3_Private::DownloadObjectMultipartState() const
{
    if (downloadKey.isEmpty())
        return DownloadState();
    return DownloadState{downloadBucket, downloadKey,     downloadFile,        downloadETag,
                         downloadSize,   downloadedBytes, downloadLastModified};
}

void Storage_S3_Private::AbortDownloadObjectMultipart()
{
    const QString partialFile = downloadFile;
    const bool streamOpen = downloadStream != nullptr;
    resetDownloadValues();
    if (streamOpen)
        QFile::remove(partialFile);
}

void Storage_S3_Private::resetUploadValues()
{
    uploadedBytes = 0;
    uploadSize = 0;
    uploadFile.clear();
    uploadBucket.clear();
    uploadKey.clear();
    uploadContentType.clear();
    uploadPartSize = 0;
    uploadLayoutFixed = false;
    uploadFileModified = QDateTime();
    if (uploadSource) {
        uploadSource->close();
        uploadSource.reset();
    }
    sentParts.clear();
    partETagsAreDigests = true;
    uploadId.clear();
}

void Storage_S3_Private::startUpload(Client &client, const QString &bucket, const QString &key,
                                     const QString &localFile, const QString &contentType)
{
    if (!uploadFile.isEmpty())
        AbortUploadObjectMultipart(client);
    uploadFile = localFile;
    uploadBucket = bucket;
    uploadKey = key;
    uploadContentType = contentType;
    uploadPartSize = uploadChunkSize;
    uploadSource = std::make_unique<QFile>(localFile);
    if (!uploadSource->exists()) {
        resetUploadValues();
        throw missingUploadFile(localFile);
    }
    uploadSize = uploadSource->size();
    uploadFileModified = QFileInfo(localFile).lastModified().toUTC();
    if (!uploadSource->open(QIODevice::ReadOnly)) {
        resetUploadValues();
        throw cannotOpenFile(localFile);
    }
    const auto created =
        client.createMultipartUpload(bucket, key, contentType, QStringLiteral("attachment"));
    if (!created.isSuccess()) {
        // Report why the upload could not start rather than the first part's follow-up error.
        resetUploadValues();
        throw exceptionFrom(created.error());
    }
    uploadId = created.value();
}

std::optional<Storage_S3_Private::PartRange> Storage_S3_Private::nextUploadPart() const
{
    if (!uploadLayoutFixed)
        return PartRange{static_cast<int>(sentParts.size()) + 1, uploadedBytes, uploadChunkSize};
    // The first gap in the parts the server holds.
    int number = 1;
    for (const SentPart &part : sentParts) {
        if (part.number != number)
            break;
        ++number;
    }
    if (number > partCount(uploadSize, uploadPartSize))
        return std::nullopt;
    const qint64 offset = (number - 1) * uploadPartSize;
    return PartRange{number, offset, qMin(uploadPartSize, uploadSize - offset)};
}

qint32 Storage_S3_Private::sendUploadPart(Client &client, const PartRange &range,
                                          const QString &contentType, QString &eTag)
{
    const QByteArray part =
        uploadSource->seek(range.offset) ? uploadSource->read(range.size) : QByteArray();
    if (part.size() < qMin(range.size, uploadSize - range.offset)) {
        // The file shrank or became unreadable since the upload began.
        const QString localFile = uploadFile;
        AbortUploadObjectMultipart(client);
        throw cannotReadFile(localFile);
    }
    // Hashed once, for the part's Content-MD5 and for the object's ETag at the end.
    const QByteArray digest = QCryptographicHash::hash(part, QCryptographicHash::Md5);
    QElapsedTimer timer;
    timer.start();
    const auto sent = client.uploadPart(uploadBucket, uploadKey, range.number, uploadId, part,
                                        contentType, digest);
    const qint64 elapsedMs = timer.elapsed();
    if (!sent.isSuccess())
        failUploadChunk(client, sent.error());
    eTag = sent.value();
    const auto later = std::find_if(sentParts.begin(), sentParts.end(), [&](const SentPart &kept) {
        return kept.number > range.number;
    });
    sentParts.insert(later, SentPart{range.number, part.size(), eTag, digest});
    uploadedBytes += part.size();
    partETagsAreDigests =
        partETagsAreDigests &&
        withoutQuotes(eTag).compare(QString::fromLatin1(digest.toHex()), Qt::CaseInsensitive) == 0;
    return chunkSpeed(part.size(), elapsedMs);
}

MPInfo Storage_S3_Private::UploadObjectMultipart(Client &client, const QString &bucket,
                                                 const QString &key, const QString &localFile,
                                                 const QString &contentType)
{
    if (bucket.isEmpty() || localFile.isEmpty())
        return nothingToTransfer();
    if (localFile != uploadFile || bucket != uploadBucket || key != uploadKey)
        startUpload(client, bucket, key, localFile, contentType);

    MPInfo info;
    const std::optional<PartRange> next = nextUploadPart();
    if (next)
        info.bytesPerSecond = sendUploadPart(client, *next, contentType, info.eTag);
    info.size = uploadSize;
    info.transferred = uploadedBytes;
    info.finished = uploadedBytes >= uploadSize;
    if (info.finished) {
        QList<aws::CompletedPart> completedParts;
        for (const SentPart &part : std::as_const(sentParts))
            completedParts.append(aws::CompletedPart{part.number, part.eTag});
        const auto completed =
            client.completeMultipartUpload(bucket, key, uploadId, completedParts);
        if (!completed.isSuccess()) {
            // A retry sends the chunk's part again and completes then.
            if (next) {
                uploadedBytes -= sentParts.at(next->number - 1).size;
                sentParts.removeAt(next->number - 1);
            }
            failUploadChunk(client, completed.error());
        }
        info.eTag = completed.value();
        checkUploadedData(withoutQuotes(info.eTag));
        resetUploadValues();
    }
    return info;
}

void Storage_S3_Private::failUploadChunk(Client &client, const aws::AwsError &error)
{
    // A failure that may pass keeps the upload as it was before the chunk, so that the same call
    // sends the same part again; any other ends it on the server too.
    if (!aws::isTransient(error))
        AbortUploadObjectMultipart(client);
    throw exceptionFrom(error);
}

void Storage_S3_Private::checkUploadedData(const QString &eTag)
{
    // Parts whose ETags are no MD5 of their data (encrypted objects) make no such object ETag.
    if (!integrityChecks || !partETagsAreDigests)
        return;
    QByteArray partDigests;
    for (const SentPart &part : std::as_const(sentParts))
        partDigests += part.digest;
    const std::optional<QString> expected = aws::expectedCompletedETag(eTag, partDigests);
    if (!expected || expected->compare(eTag, Qt::CaseInsensitive) == 0)
        return;
    resetUploadValues();
    throw integrityFailure(
        QStringLiteral("the server's ETag %1 does not match the uploaded data (%2 expected).")
            .arg(eTag, *expected));
}

QList<PartInfo> Storage_S3_Private::ListParts(Client &client, const QString &bucket,
                                              const QString &key, const QString &uploadId)
{
    QList<PartInfo> parts;
    int marker = 0;
    do {
        const aws::PartsPage page = valueOrThrow(client.listParts(bucket, key, uploadId, marker));
        for (const aws::ListedPart &part : page.parts)
            parts.append(PartInfo{part.partNumber, part.size, withoutQuotes(part.eTag)});
        marker = page.truncated ? page.nextPartNumberMarker : 0;
    } while (marker > 0);
    return parts;
}

QList<MultipartUploadInfo> Storage_S3_Private::ListMultipartUploads(Client &client,
                                                                    const QString &bucket,
                                                                    const QString &prefix)
{
    QList<MultipartUploadInfo> uploads;
    QString keyMarker, uploadIdMarker;
    do {
        const aws::UploadsPage page =
            valueOrThrow(client.listMultipartUploads(bucket, prefix, keyMarker, uploadIdMarker));
        for (const aws::OpenUpload &upload : page.uploads)
            uploads.append(MultipartUploadInfo{upload.key, upload.uploadId, upload.initiated});
        keyMarker = page.truncated ? page.nextKeyMarker : QString();
        uploadIdMarker = page.truncated ? page.nextUploadIdMarker : QString();
    } while (!keyMarker.isEmpty());
    return uploads;
}

void Storage_S3_Private::AbortMultipartUpload(Client &client, const QString &bucket,
                                              const QString &key, const QString &uploadId)
{
    valueOrThrow(client.abortMultipartUpload(bucket, key, uploadId));
    if (uploadId == this->uploadId && bucket == uploadBucket && key == uploadKey)
        resetUploadValues();
}

void Storage_S3_Private::ContinueUploadObjectMultipart(Client &client, const UploadState &state)
{
    if (state.bucket.isEmpty() || state.localFile.isEmpty() || state.uploadId.isEmpty() ||
        state.partSize <= 0)
        throw incompleteTransferState(QStringLiteral("bucket, local file, upload id or part size"));
    auto source = std::make_unique<QFile>(state.localFile);
    if (!source->exists())
        throw missingUploadFile(state.localFile);
    if (!source->open(QIODevice::ReadOnly))
        throw cannotOpenFile(state.localFile);
    const QList<PartInfo> listed = ListParts(client, state.bucket, state.key, state.uploadId);
    if (!uploadId.isEmpty() && uploadId != state.uploadId)
        AbortUploadObjectMultipart(client);
    resetUploadValues();

    // Kept only where the server holds exactly this range of the file as it is now. In a file
    // unchanged since the upload began, a part the server lists with the ETag it answered when
    // the part was sent holds that range already: its digest is the ETag.
    const qint64 size = source->size();
    const bool unchanged =
        state.fileSize == size && state.fileModified.isValid() &&
        QFileInfo(state.localFile).lastModified().toUTC() == state.fileModified.toUTC();
    QHash<qint32, QString> confirmed;
    for (const PartInfo &part : state.parts)
        confirmed.insert(part.number, part.eTag);
    for (const PartInfo &part : listed) {
        const qint64 offset = (part.number - 1) * state.partSize;
        if (part.number > partCount(size, state.partSize) ||
            part.size != qMin(state.partSize, size - offset) || !source->seek(offset))
            continue;
        const QByteArray known = QByteArray::fromHex(part.eTag.toLatin1());
        const bool trusted =
            unchanged && known.size() == 16 &&
            confirmed.value(part.number).compare(part.eTag, Qt::CaseInsensitive) == 0;
        const QByteArray digest =
            trusted ? known
                    : QCryptographicHash::hash(source->read(part.size), QCryptographicHash::Md5);
        if (QString::fromLatin1(digest.toHex()).compare(part.eTag, Qt::CaseInsensitive) != 0)
            continue;
        sentParts.append(SentPart{part.number, part.size,
                                  QLatin1Char('"') + part.eTag + QLatin1Char('"'), digest});
        uploadedBytes += part.size;
    }
    std::sort(sentParts.begin(), sentParts.end(),
              [](const SentPart &a, const SentPart &b) { return a.number < b.number; });
    uploadBucket = state.bucket;
    uploadKey = state.key;
    uploadFile = state.localFile;
    uploadContentType = state.contentType;
    uploadId = state.uploadId;
    uploadPartSize = state.partSize;
    uploadLayoutFixed = true;
    uploadFileModified = state.fileModified;
    uploadSize = size;
    uploadSource = std::move(source);
}

UploadState Storage_S3_Private::UploadObjectMultipartState() const
{
    if (uploadId.isEmpty())
        return UploadState();
    UploadState state{uploadBucket,   uploadKey, uploadFile, uploadContentType, uploadId,
                      uploadPartSize, {},        uploadSize, uploadFileModified};
    for (const SentPart &part : sentParts)
        state.parts.append(PartInfo{part.number, part.size, withoutQuotes(part.eTag)});
    return state;
}

void Storage_S3_Private::AbortUploadObjectMultipart(Client &client)
{
    // Without an upload id there is nothing the server could abort.
    if (!uploadId.isEmpty())
        client.abortMultipartUpload(uploadBucket, uploadKey, uploadId);
    resetUploadValues();
}

qint64 Storage_S3_Private::SetDownloadChunkSize(qint64 bytes)
{
    downloadChunkSize = bytes;
    return downloadChunkSize;
}

void Storage_S3_Private::UpdateCredentials(const QString &accessKeyId, const QString &secretKey,
                                           const QString &sessionToken)
{
    CheckSingleUser();
    // The same client, so the stored transfers go on and sign their next chunk anew.
    client->setCredentials(aws::Credentials{accessKeyId, secretKey, sessionToken});
}

qint64 Storage_S3_Private::SetUploadChunkSize(qint64 bytes)
{
    if (bytes > minimumPartSize)
        uploadChunkSize = bytes;
    return uploadChunkSize;
}

qint32 Storage_S3_Private::SetTransferConcurrency(qint32 parts)
{
    transferConcurrency = qBound(1, parts, 16);
    return transferConcurrency;
}

bool Storage_S3_Private::SetIntegrityChecks(bool enabled)
{
    integrityChecks = enabled;
    // A running download is hashed only from its start.
    if (!enabled)
        downloadDigest.reset();
    return integrityChecks;
}

} // namespace Brenn_AWS
