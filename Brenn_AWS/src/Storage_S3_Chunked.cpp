#include "Storage_S3_Private.h"

#include "FacadeSupport.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <limits>

// The chunked transfers: every call starts parts or ranges up to the concurrency and returns when
// at least one of them finished, or, with several allowed in flight, after a second at most.
namespace Brenn_AWS {

namespace {

constexpr qint64 minimumPartSize = 5242880; // S3 refuses smaller parts except the last
constexpr qint64 longestCollectWaitMs = 1000;

// Bytes per second: whole bytes per millisecond, times 1000; 0 below a millisecond.
qint32 chunkSpeed(qint64 bytes, qint64 elapsedMs)
{
    if (elapsedMs <= 0)
        return 0;
    return static_cast<qint32>(
        qMin<qint64>((bytes / elapsedMs) * 1000, std::numeric_limits<qint32>::max()));
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

template <class Range> void insertInOrder(std::deque<Range> &ranges, const Range &range)
{
    ranges.insert(
        std::upper_bound(ranges.begin(), ranges.end(), range,
                         [](const Range &a, const Range &b) { return a.offset < b.offset; }),
        range);
}

aws::AwsError shortRangeError()
{
    return aws::AwsError{aws::ErrorType::NetworkConnection, QString(),
                         QStringLiteral("Response body length doesn't match the requested range."),
                         -1};
}

} // namespace

qint64 Storage_S3_Private::collectWaitMs() const
{
    return transferConcurrency > 1 ? longestCollectWaitMs : -1;
}

// ---- downloads ----

void Storage_S3_Private::resetDownloadValues()
{
    downloadLanes.cancel();
    downloadJobs.clear();
    downloadRetries.clear();
    writtenRanges.clear();
    nextRangeOffset = 0;
    downloadBucket.clear();
    downloadKey.clear();
    downloadFile.clear();
    downloadedBytes = 0;
    downloadSize = 0;
    downloadSpeed = 0;
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
    // Unbuffered: the ranges are written through handles of their own, and read back from here.
    if (!stream->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
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

std::optional<Storage_S3_Private::PartRange> Storage_S3_Private::nextDownloadRange()
{
    if (!downloadRetries.empty()) {
        const PartRange range = downloadRetries.front();
        downloadRetries.pop_front();
        return range;
    }
    if (nextRangeOffset >= downloadSize)
        return std::nullopt;
    const PartRange range{0, nextRangeOffset,
                          qMin(downloadChunkSize, downloadSize - nextRangeOffset)};
    nextRangeOffset += range.size;
    return range;
}

void Storage_S3_Private::startDownloadRange(Client &client, const PartRange &range)
{
    auto job = std::make_shared<DownloadJob>();
    job->range = range;
    downloadJobs[static_cast<quint64>(range.offset)] = job;
    const QByteArray header = "bytes=" + QByteArray::number(range.offset) + '-' +
                              QByteArray::number(range.offset + range.size - 1);
    downloadLanes.start(static_cast<quint64>(range.offset), client,
                        [job, header, file = downloadFile, bucket = downloadBucket,
                         key = downloadKey, eTag = downloadETag](aws::S3Client &lane) {
                            // Each range is written at its own place as it arrives, so that ranges
                            // may finish in any order and no range is held in memory.
                            QFile target(file);
                            if (!target.open(QIODevice::ReadWrite | QIODevice::Unbuffered) ||
                                !target.seek(job->range.offset)) {
                                job->writeFailed = true;
                                return;
                            }
                            const aws::BodySink sink = [&](const char *data, qint64 size) {
                                if (job->written + size > job->range.size)
                                    return false;
                                job->writeFailed = target.write(data, size) != size;
                                job->written += job->writeFailed ? 0 : size;
                                return !job->writeFailed;
                            };
                            // Only the object the download began with, never a replacement stitched
                            // to it.
                            const auto outcome = lane.getObject(bucket, key, header, sink, eTag);
                            if (!outcome.isSuccess())
                                job->error = outcome.error();
                        });
}

qint64 Storage_S3_Private::collectDownloadRanges(qint64 waitMs)
{
    std::optional<aws::AwsError> failure;
    bool writeFailed = false;
    qint64 collected = 0;
    for (const quint64 ticket : downloadLanes.collect(waitMs)) {
        const std::shared_ptr<DownloadJob> job = downloadJobs.at(ticket);
        downloadJobs.erase(ticket);
        const PartRange &range = job->range;
        if (job->error && job->error->httpStatus == 412)
            failChangedDownload(*job->error);
        if (job->writeFailed || job->error || job->written != range.size) {
            // Asked for again by the next call, written over what arrived of it.
            insertInOrder(downloadRetries, range);
            writeFailed = writeFailed || job->writeFailed;
            if (!failure && !job->writeFailed)
                failure = job->error.value_or(shortRangeError());
            continue;
        }
        writtenRanges[range.offset] = range.size;
        collected += range.size;
    }
    extendDownloadedPrefix();
    if (writeFailed)
        throw cannotWriteFile(downloadFile);
    if (failure)
        throw exceptionFrom(*failure);
    return collected;
}

void Storage_S3_Private::extendDownloadedPrefix()
{
    const qint64 before = downloadedBytes;
    for (auto next = writtenRanges.find(downloadedBytes); next != writtenRanges.end();
         next = writtenRanges.find(downloadedBytes)) {
        downloadedBytes += next->second;
        writtenRanges.erase(next);
    }
    // Ranges finish in any order; the digest takes the bytes in order, read back from the file.
    if (downloadDigest && downloadedBytes > before &&
        !downloadDigest->catchUp(*downloadStream, downloadedBytes))
        downloadDigest.reset();
}

void Storage_S3_Private::moveDownloadRanges(Client &client)
{
    if (!downloadLanes.running())
        downloadClock.start();
    while (downloadLanes.running() < transferConcurrency) {
        const std::optional<PartRange> range = nextDownloadRange();
        if (!range)
            break;
        startDownloadRange(client, *range);
    }
    if (const qint64 collected = collectDownloadRanges(collectWaitMs()); collected > 0)
        downloadSpeed = chunkSpeed(collected, downloadClock.restart());
}

MPInfo Storage_S3_Private::DownloadObjectMultipart(Client &client, const QString &bucket,
                                                   const QString &key, const QString &localFile)
{
    if (bucket.isEmpty() || localFile.isEmpty())
        return nothingToTransfer();
    if (localFile != downloadFile || bucket != downloadBucket || key != downloadKey)
        startDownload(client, bucket, key, localFile);
    // An empty object or a complete partial file needs no request; ranges cannot name zero bytes.
    if (downloadedBytes < downloadSize)
        moveDownloadRanges(client);

    MPInfo info;
    info.size = downloadSize;
    info.transferred = downloadedBytes;
    info.bytesPerSecond = downloadSpeed;
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
    if (!stream->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw cannotOpenFile(state.localFile);
    // Ranges may have been written after a gap; only the bytes before the first gap count. A
    // file longer than the object is no part of it.
    qint64 present = qBound<qint64>(0, qMin(stream->size(), state.transferred), state.size);
    if (stream->size() > state.size)
        present = 0;
    if (!stream->resize(present))
        throw cannotWriteFile(state.localFile);
    if (partSize) {
        // The check covers the whole file: the bytes from before are hashed again.
        downloadDigest = std::make_unique<aws::StreamDigest>(*partSize);
        if (!downloadDigest->catchUp(*stream, present))
            downloadDigest.reset();
    }
    downloadStream = std::move(stream);
    downloadBucket = state.bucket;
    downloadKey = state.key;
    downloadFile = state.localFile;
    downloadedBytes = present;
    nextRangeOffset = present;
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

// ---- uploads ----

void Storage_S3_Private::resetUploadValues()
{
    uploadLanes.cancel();
    uploadJobs.clear();
    uploadRetries.clear();
    nextPartNumber = 1;
    nextPartOffset = 0;
    uploadedBytes = 0;
    uploadSize = 0;
    uploadSpeed = 0;
    uploadFile.clear();
    uploadBucket.clear();
    uploadKey.clear();
    uploadContentType.clear();
    uploadPartSize = 0;
    uploadFileModified = QDateTime();
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
    // The lanes read the parts through handles of their own; a file that cannot be read is told
    // before the upload is created.
    QFile source(localFile);
    if (!source.exists()) {
        resetUploadValues();
        throw missingUploadFile(localFile);
    }
    uploadSize = source.size();
    uploadFileModified = QFileInfo(localFile).lastModified().toUTC();
    if (!source.open(QIODevice::ReadOnly)) {
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

std::optional<Storage_S3_Private::PartRange> Storage_S3_Private::nextUploadPart()
{
    if (!uploadRetries.empty()) {
        const PartRange part = uploadRetries.front();
        uploadRetries.pop_front();
        return part;
    }
    // An empty file is sent as one empty part.
    if (nextPartOffset >= uploadSize && (uploadSize > 0 || nextPartNumber > 1))
        return std::nullopt;
    const PartRange part{nextPartNumber, nextPartOffset,
                         qMin(uploadChunkSize, uploadSize - nextPartOffset)};
    ++nextPartNumber;
    nextPartOffset += part.size;
    return part;
}

void Storage_S3_Private::startUploadPart(Client &client, const PartRange &range)
{
    auto job = std::make_shared<UploadJob>();
    job->range = range;
    uploadJobs[static_cast<quint64>(range.number)] = job;
    uploadLanes.start(static_cast<quint64>(range.number), client,
                      [job, file = uploadFile, bucket = uploadBucket, key = uploadKey,
                       id = uploadId, contentType = uploadContentType](aws::S3Client &lane) {
                          QFile source(file);
                          const QByteArray part =
                              source.open(QIODevice::ReadOnly) && source.seek(job->range.offset)
                                  ? source.read(job->range.size)
                                  : QByteArray();
                          // The file shrank or became unreadable since the upload began.
                          if (part.size() < job->range.size) {
                              job->unreadable = true;
                              return;
                          }
                          // Hashed once, for the part's Content-MD5 and for the object's ETag at
                          // the end.
                          job->digest = QCryptographicHash::hash(part, QCryptographicHash::Md5);
                          const auto sent = lane.uploadPart(bucket, key, job->range.number, id,
                                                            part, contentType, job->digest);
                          if (sent.isSuccess())
                              job->eTag = sent.value();
                          else
                              job->error = sent.error();
                      });
}

Storage_S3_Private::CollectedParts Storage_S3_Private::collectUploadParts(Client &client,
                                                                          qint64 waitMs)
{
    std::optional<aws::AwsError> passing;
    bool unreadable = false;
    CollectedParts collected;
    for (const quint64 ticket : uploadLanes.collect(waitMs)) {
        const std::shared_ptr<UploadJob> job = uploadJobs.at(ticket);
        uploadJobs.erase(ticket);
        const PartRange &range = job->range;
        if (job->unreadable || (job->error && !aws::isTransient(*job->error))) {
            unreadable = unreadable || job->unreadable;
            if (!unreadable)
                failUploadChunk(client, *job->error);
            continue;
        }
        if (job->error) {
            insertInOrder(uploadRetries, range);
            passing = job->error;
            continue;
        }
        const auto later =
            std::find_if(sentParts.begin(), sentParts.end(),
                         [&](const SentPart &kept) { return kept.number > range.number; });
        sentParts.insert(later, SentPart{range.number, range.size, job->eTag, job->digest});
        uploadedBytes += range.size;
        collected.bytes += range.size;
        collected.lastETag = job->eTag;
        partETagsAreDigests = partETagsAreDigests && withoutQuotes(job->eTag).compare(
                                                         QString::fromLatin1(job->digest.toHex()),
                                                         Qt::CaseInsensitive) == 0;
    }
    if (unreadable) {
        const QString localFile = uploadFile;
        AbortUploadObjectMultipart(client);
        throw cannotReadFile(localFile);
    }
    if (passing)
        failUploadChunk(client, *passing);
    return collected;
}

QString Storage_S3_Private::moveUploadParts(Client &client)
{
    if (!uploadLanes.running())
        uploadClock.start();
    while (uploadLanes.running() < transferConcurrency) {
        const std::optional<PartRange> part = nextUploadPart();
        if (!part)
            break;
        startUploadPart(client, *part);
    }
    const CollectedParts collected = collectUploadParts(client, collectWaitMs());
    if (collected.bytes > 0)
        uploadSpeed = chunkSpeed(collected.bytes, uploadClock.restart());
    return collected.lastETag;
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
    info.eTag = moveUploadParts(client);
    info.size = uploadSize;
    info.transferred = uploadedBytes;
    info.bytesPerSecond = uploadSpeed;
    // Every part sent and confirmed: nothing in flight, nothing left to send or to send again.
    info.finished = !uploadLanes.running() && uploadRetries.empty() &&
                    !(nextPartOffset < uploadSize || (uploadSize == 0 && nextPartNumber == 1));
    if (info.finished)
        completeUpload(client, info);
    return info;
}

void Storage_S3_Private::completeUpload(Client &client, MPInfo &info)
{
    QList<aws::CompletedPart> completedParts;
    for (const SentPart &part : std::as_const(sentParts))
        completedParts.append(aws::CompletedPart{part.number, part.eTag});
    // A passing failure keeps every part: the next call completes again.
    const auto completed =
        client.completeMultipartUpload(uploadBucket, uploadKey, uploadId, completedParts);
    if (!completed.isSuccess())
        failUploadChunk(client, completed.error());
    info.eTag = completed.value();
    checkUploadedData(withoutQuotes(info.eTag));
    resetUploadValues();
}

void Storage_S3_Private::failUploadChunk(Client &client, const aws::AwsError &error)
{
    // A failure that may pass keeps the upload as it was, so that the next call sends the failed
    // part again; any other ends it on the server too.
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

// ---- continuing, listing and settings ----

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
    const bool stored = uploadId == this->uploadId && bucket == uploadBucket && key == uploadKey;
    // Parts in flight end first, so that none is stored after the abort.
    if (stored)
        uploadLanes.cancel();
    valueOrThrow(client.abortMultipartUpload(bucket, key, uploadId));
    if (stored)
        resetUploadValues();
}

void Storage_S3_Private::ContinueUploadObjectMultipart(Client &client, const UploadState &state)
{
    if (state.bucket.isEmpty() || state.localFile.isEmpty() || state.uploadId.isEmpty() ||
        state.partSize <= 0)
        throw incompleteTransferState(QStringLiteral("bucket, local file, upload id or part size"));
    QFile source(state.localFile);
    if (!source.exists())
        throw missingUploadFile(state.localFile);
    if (!source.open(QIODevice::ReadOnly))
        throw cannotOpenFile(state.localFile);
    const QList<PartInfo> listed = ListParts(client, state.bucket, state.key, state.uploadId);
    if (!uploadId.isEmpty() && uploadId != state.uploadId)
        AbortUploadObjectMultipart(client);
    resetUploadValues();

    // Kept only where the server holds exactly this range of the file as it is now. In a file
    // unchanged since the upload began, a part the server lists with the ETag it answered when
    // the part was sent holds that range already: its digest is the ETag.
    const qint64 size = source.size();
    const bool unchanged =
        state.fileSize == size && state.fileModified.isValid() &&
        QFileInfo(state.localFile).lastModified().toUTC() == state.fileModified.toUTC();
    QHash<qint32, QString> confirmed;
    for (const PartInfo &part : state.parts)
        confirmed.insert(part.number, part.eTag);
    for (const PartInfo &part : listed) {
        const qint64 offset = (part.number - 1) * state.partSize;
        if (part.number > partCount(size, state.partSize) ||
            part.size != qMin(state.partSize, size - offset) || !source.seek(offset))
            continue;
        const QByteArray known = QByteArray::fromHex(part.eTag.toLatin1());
        const bool trusted =
            unchanged && known.size() == 16 &&
            confirmed.value(part.number).compare(part.eTag, Qt::CaseInsensitive) == 0;
        const QByteArray digest =
            trusted ? known
                    : QCryptographicHash::hash(source.read(part.size), QCryptographicHash::Md5);
        if (QString::fromLatin1(digest.toHex()).compare(part.eTag, Qt::CaseInsensitive) != 0)
            continue;
        sentParts.append(SentPart{part.number, part.size,
                                  QLatin1Char('"') + part.eTag + QLatin1Char('"'), digest});
        uploadedBytes += part.size;
    }
    std::sort(sentParts.begin(), sentParts.end(),
              [](const SentPart &a, const SentPart &b) { return a.number < b.number; });
    // The parts the server lacks are sent before the upload completes, in the layout it began
    // with.
    const qint64 parts = partCount(size, state.partSize);
    auto held = sentParts.cbegin();
    for (int number = 1; number <= parts; ++number) {
        if (held != sentParts.cend() && held->number == number) {
            ++held;
            continue;
        }
        const qint64 offset = (number - 1) * state.partSize;
        uploadRetries.push_back(PartRange{number, offset, qMin(state.partSize, size - offset)});
    }
    nextPartNumber = static_cast<int>(parts) + 1;
    nextPartOffset = size;
    uploadBucket = state.bucket;
    uploadKey = state.key;
    uploadFile = state.localFile;
    uploadContentType = state.contentType;
    uploadId = state.uploadId;
    uploadPartSize = state.partSize;
    uploadFileModified = state.fileModified;
    uploadSize = size;
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
    // Parts in flight end first, so that none is stored after the abort. Without an upload id
    // there is nothing the server could abort.
    uploadLanes.cancel();
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
