#include "Storage_S3_Private.h"

#include "FacadeSupport.h"

#include <JlCompress.h>
#include <quazip.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUuid>

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
    // An empty object needs no request; ranges cannot name zero bytes.
    if (downloadSize > 0) {
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
        const auto outcome = client.getObject(bucket, key, range, sink);
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
    if (uploadSource) {
        uploadSource->close();
        uploadSource.reset();
    }
    completedParts.clear();
    partDigests.clear();
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
    uploadedBytes = 0;
    partNumber = 0;
    uploadSource = std::make_unique<QFile>(localFile);
    if (!uploadSource->exists()) {
        resetUploadValues();
        throw missingUploadFile(localFile);
    }
    uploadSize = uploadSource->size();
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
    completedParts.clear();
}

MPInfo Storage_S3_Private::UploadObjectMultipart(Client &client, const QString &bucket,
                                                 const QString &key, const QString &localFile,
                                                 const QString &contentType)
{
    if (bucket.isEmpty() || localFile.isEmpty())
        return nothingToTransfer();
    if (localFile != uploadFile || bucket != uploadBucket || key != uploadKey)
        startUpload(client, bucket, key, localFile, contentType);

    const QByteArray part = uploadSource->read(uploadChunkSize);
    if (part.isEmpty() && uploadedBytes < uploadSize) {
        // The file shrank or became unreadable since the upload began.
        AbortUploadObjectMultipart(client);
        throw cannotReadFile(localFile);
    }
    // Hashed once, for the part's Content-MD5 and for the object's ETag at the end.
    const QByteArray digest = QCryptographicHash::hash(part, QCryptographicHash::Md5);
    QElapsedTimer timer;
    timer.start();
    const auto sent =
        client.uploadPart(bucket, key, partNumber + 1, uploadId, part, contentType, digest);
    const qint64 elapsedMs = timer.elapsed();
    if (!sent.isSuccess())
        failUploadChunk(client, sent.error());
    ++partNumber;
    uploadedBytes += part.size();
    completedParts.append(aws::CompletedPart{partNumber, sent.value()});
    partDigests += digest;
    partETagsAreDigests =
        partETagsAreDigests &&
        withoutQuotes(sent.value())
                .compare(QString::fromLatin1(digest.toHex()), Qt::CaseInsensitive) == 0;

    MPInfo info;
    info.size = uploadSize;
    info.transferred = uploadedBytes;
    info.bytesPerSecond = chunkSpeed(part.size(), elapsedMs);
    info.finished = uploadedBytes >= uploadSize;
    info.eTag = sent.value();
    if (info.finished) {
        const auto completed =
            client.completeMultipartUpload(bucket, key, uploadId, completedParts);
        if (!completed.isSuccess()) {
            // A retry sends the last part again and completes then.
            --partNumber;
            uploadedBytes -= part.size();
            completedParts.removeLast();
            partDigests.chop(digest.size());
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
    // A failure that may pass keeps the upload, back at the chunk's start, so that the same call
    // sends the same part again; any other ends it on the server too.
    if (!aws::isTransient(error) || !uploadSource->seek(uploadedBytes))
        AbortUploadObjectMultipart(client);
    throw exceptionFrom(error);
}

void Storage_S3_Private::checkUploadedData(const QString &eTag)
{
    // Parts whose ETags are no MD5 of their data (encrypted objects) make no such object ETag.
    if (!integrityChecks || !partETagsAreDigests)
        return;
    const std::optional<QString> expected = aws::expectedCompletedETag(eTag, partDigests);
    if (!expected || expected->compare(eTag, Qt::CaseInsensitive) == 0)
        return;
    resetUploadValues();
    throw integrityFailure(
        QStringLiteral("the server's ETag %1 does not match the uploaded data (%2 expected).")
            .arg(eTag, *expected));
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

bool Storage_S3_Private::SetIntegrityChecks(bool enabled)
{
    integrityChecks = enabled;
    // A running download is hashed only from its start.
    if (!enabled)
        downloadDigest.reset();
    return integrityChecks;
}

} // namespace Brenn_AWS
