#pragma once

#include <Brenn_AWS/Structs.h>
#include <Brenn_AWS/Type.h>

#include "aws/CurlRuntime.h"
#include "aws/ObjectDigest.h"
#include "aws/RequestLanes.h"
#include "aws/S3Client.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <deque>
#include <map>
#include <memory>
#include <optional>

namespace Brenn_AWS {

// The work behind Storage_S3: the client of single-user mode, and the one upload and one
// download in progress between chunked calls. Every public operation checks the mode and then
// runs its private overload on the stored client or on a client built for the call.
class Storage_S3_Private
{
public:
    using Client = aws::S3Client;

    Storage_S3_Private(Type type, const QString &location, const QString &accessKeyId,
                       const QString &secretKey, const QString &sessionToken);
    Storage_S3_Private();
    ~Storage_S3_Private();

    void ListObjects(const QString &bucket, const QString &prefix, QStringList &keys);
    void ListObjects(Type type, const QString &location, const QString &accessKeyId,
                     const QString &secretKey, const QString &bucket, const QString &prefix,
                     QStringList &keys);
    void ListObjectsWithInfo(const QString &bucket, const QString &prefix, QStringList &keys,
                             QList<ObjectInfo> &infos);
    void ListObjectsWithInfo(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey, const QString &bucket, const QString &prefix,
                             QStringList &keys, QList<ObjectInfo> &infos);
    ObjectInfo GetObjectInfo(const QString &bucket, const QString &key);
    ObjectInfo GetObjectInfo(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey, const QString &bucket, const QString &key);
    QString GetObjectETag(const QString &bucket, const QString &key);
    QString GetObjectETag(Type type, const QString &location, const QString &accessKeyId,
                          const QString &secretKey, const QString &bucket, const QString &key);
    qint64 GetObjectSize(const QString &bucket, const QString &key);
    qint64 GetObjectSize(Type type, const QString &location, const QString &accessKeyId,
                         const QString &secretKey, const QString &bucket, const QString &key);
    qint64 HasObject(const QString &bucket, const QString &key);
    qint64 HasObject(Type type, const QString &location, const QString &accessKeyId,
                     const QString &secretKey, const QString &bucket, const QString &key);
    void DeleteObject(const QString &bucket, const QString &key);
    void DeleteObject(Type type, const QString &location, const QString &accessKeyId,
                      const QString &secretKey, const QString &bucket, const QString &key);
    void UploadObject(const QString &bucket, const QString &key, const QString &localFile);
    void UploadObject(Type type, const QString &location, const QString &accessKeyId,
                      const QString &secretKey, const QString &bucket, const QString &key,
                      const QString &localFile);
    void UploadObject(const QString &bucket, const QString &key, const QByteArray &data);
    void UploadObject(Type type, const QString &location, const QString &accessKeyId,
                      const QString &secretKey, const QString &bucket, const QString &key,
                      const QByteArray &data);
    void DownloadObject(const QString &bucket, const QString &key, const QString &localFile);
    void DownloadObject(Type type, const QString &location, const QString &accessKeyId,
                        const QString &secretKey, const QString &bucket, const QString &key,
                        const QString &localFile);
    void DownloadObject(const QString &bucket, const QString &key, QByteArray &data);
    void DownloadObject(Type type, const QString &location, const QString &accessKeyId,
                        const QString &secretKey, const QString &bucket, const QString &key,
                        QByteArray &data);
    void PreSignedURL(const QString &bucket, const QString &key, QString &url,
                      qint64 expirySeconds);
    void PreSignedURL(Type type, const QString &location, const QString &accessKeyId,
                      const QString &secretKey, const QString &bucket, const QString &key,
                      QString &url, qint64 expirySeconds);
    void DownloadObjectsAsZip(const QString &bucket, const QStringList &keys,
                              const QString &zipFile);
    void DownloadObjectsAsZip(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket,
                              const QStringList &keys, const QString &zipFile);
    void DownloadObjectsAsZip(const QString &bucket, const QStringList &keys, QByteArray &zip);
    void DownloadObjectsAsZip(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket,
                              const QStringList &keys, QByteArray &zip);
    MPInfo DownloadObjectMultipart(const QString &bucket, const QString &key,
                                   const QString &localFile);
    MPInfo DownloadObjectMultipart(Type type, const QString &location, const QString &accessKeyId,
                                   const QString &secretKey, const QString &bucket,
                                   const QString &key, const QString &localFile);
    MPInfo UploadObjectMultipart(const QString &bucket, const QString &key,
                                 const QString &localFile, const QString &contentType);
    MPInfo UploadObjectMultipart(Type type, const QString &location, const QString &accessKeyId,
                                 const QString &secretKey, const QString &bucket,
                                 const QString &key, const QString &localFile,
                                 const QString &contentType);
    void AbortDownloadObjectMultipart();
    void AbortUploadObjectMultipart();
    void AbortUploadObjectMultipart(Type type, const QString &location, const QString &accessKeyId,
                                    const QString &secretKey);
    QList<PartInfo> ListParts(const QString &bucket, const QString &key, const QString &uploadId);
    QList<PartInfo> ListParts(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket, const QString &key,
                              const QString &uploadId);
    QList<MultipartUploadInfo> ListMultipartUploads(const QString &bucket, const QString &prefix);
    QList<MultipartUploadInfo> ListMultipartUploads(Type type, const QString &location,
                                                    const QString &accessKeyId,
                                                    const QString &secretKey, const QString &bucket,
                                                    const QString &prefix);
    void AbortMultipartUpload(const QString &bucket, const QString &key, const QString &uploadId);
    void AbortMultipartUpload(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket, const QString &key,
                              const QString &uploadId);

    UploadState UploadObjectMultipartState() const;
    DownloadState DownloadObjectMultipartState() const;
    void ContinueUploadObjectMultipart(const UploadState &state);
    void ContinueUploadObjectMultipart(Type type, const QString &location,
                                       const QString &accessKeyId, const QString &secretKey,
                                       const UploadState &state);
    void ContinueDownloadObjectMultipart(const DownloadState &state);
    void ContinueDownloadObjectMultipart(Type type, const QString &location,
                                         const QString &accessKeyId, const QString &secretKey,
                                         const DownloadState &state);
    qint64 SetDownloadChunkSize(qint64 bytes);
    qint64 SetUploadChunkSize(qint64 bytes);
    qint32 SetTransferConcurrency(qint32 parts);
    bool SetIntegrityChecks(bool enabled);
    void UpdateCredentials(const QString &accessKeyId, const QString &secretKey,
                           const QString &sessionToken);

    static void SetTimeouts(qint64 connectMs, qint64 stallMs);

private:
    static std::unique_ptr<Client> newClient(Type type, const QString &location,
                                             const QString &accessKeyId, const QString &secretKey,
                                             const QString &sessionToken);
    void CheckSingleUser() const;
    void CheckMultiUser() const;
    void resetUploadValues();
    void resetDownloadValues();

    // Runs `work` on the single-user client, or on a client built for this one call. The forms
    // with keys first refuse an empty one: it would address the bucket itself.
    template <class Work> auto onStoredClient(Work work);
    template <class Work> auto onStoredClient(const QStringList &objectKeys, Work work);
    template <class Work>
    auto onCallClient(Type type, const QString &location, const QString &accessKeyId,
                      const QString &secretKey, Work work);
    template <class Work>
    auto onCallClient(const QStringList &objectKeys, Type type, const QString &location,
                      const QString &accessKeyId, const QString &secretKey, Work work);

    void ListObjects(Client &client, const QString &bucket, const QString &prefix,
                     QStringList &keys);
    void ListObjectsWithInfo(Client &client, const QString &bucket, const QString &prefix,
                             QStringList &keys, QList<ObjectInfo> &infos);
    // Hands every listed object to `take`, page by page.
    template <class Take>
    void forEachListed(Client &client, const QString &bucket, const QString &prefix, Take take);
    ObjectInfo GetObjectInfo(Client &client, const QString &bucket, const QString &key);
    QString GetObjectETag(Client &client, const QString &bucket, const QString &key);
    qint64 GetObjectSize(Client &client, const QString &bucket, const QString &key);
    qint64 HasObject(Client &client, const QString &bucket, const QString &key);
    void DeleteObject(Client &client, const QString &bucket, const QString &key);
    void UploadObject(Client &client, const QString &bucket, const QString &key,
                      const QString &localFile);
    void UploadObject(Client &client, const QString &bucket, const QString &key,
                      const QByteArray &data);
    void DownloadObject(Client &client, const QString &bucket, const QString &key,
                        const QString &localFile);
    void DownloadObject(Client &client, const QString &bucket, const QString &key,
                        QByteArray &data);
    void PreSignedURL(Client &client, const QString &bucket, const QString &key, QString &url,
                      qint64 expirySeconds);
    void DownloadObjectsAsZip(Client &client, const QString &bucket, const QStringList &keys,
                              const QString &zipFile);
    void DownloadObjectsAsZip(Client &client, const QString &bucket, const QStringList &keys,
                              QByteArray &zip);
    MPInfo DownloadObjectMultipart(Client &client, const QString &bucket, const QString &key,
                                   const QString &localFile);
    MPInfo UploadObjectMultipart(Client &client, const QString &bucket, const QString &key,
                                 const QString &localFile, const QString &contentType);
    void AbortUploadObjectMultipart(Client &client);
    QList<PartInfo> ListParts(Client &client, const QString &bucket, const QString &key,
                              const QString &uploadId);
    QList<MultipartUploadInfo> ListMultipartUploads(Client &client, const QString &bucket,
                                                    const QString &prefix);
    void AbortMultipartUpload(Client &client, const QString &bucket, const QString &key,
                              const QString &uploadId);
    void ContinueUploadObjectMultipart(Client &client, const UploadState &state);
    void ContinueDownloadObjectMultipart(Client &client, const DownloadState &state);
    void startDownload(Client &client, const QString &bucket, const QString &key,
                       const QString &localFile);
    void startUpload(Client &client, const QString &bucket, const QString &key,
                     const QString &localFile, const QString &contentType);
    // A part of an upload, or a range of a download, in bytes of the file.
    struct PartRange
    {
        int number = 0; // uploads only
        qint64 offset = 0;
        qint64 size = 0;
    };
    // What a lane leaves behind for the part or range it carried.
    struct UploadJob
    {
        PartRange range;
        bool unreadable = false; // the file ended early or could not be read
        QByteArray digest;       // binary MD5 of the part's data
        QString eTag;
        std::optional<aws::AwsError> error;
    };
    struct DownloadJob
    {
        PartRange range;
        qint64 written = 0; // into the file at the range's offset
        bool writeFailed = false;
        std::optional<aws::AwsError> error;
    };

    // Parts in flight up to the concurrency, then the first to finish: their confirmations taken.
    // The ETag of the last part confirmed, empty when none was.
    QString moveUploadParts(Client &client);
    std::optional<PartRange> nextUploadPart();
    void startUploadPart(Client &client, const PartRange &range);
    // Keeps what the finished parts confirmed; a failure among them is thrown once the others
    // are kept, and a failed part is sent again by the next call.
    struct CollectedParts
    {
        qint64 bytes = 0;
        QString lastETag;
    };
    CollectedParts collectUploadParts(Client &client, qint64 waitMs);
    void completeUpload(Client &client, MPInfo &info);
    void moveDownloadRanges(Client &client);
    std::optional<PartRange> nextDownloadRange();
    void startDownloadRange(Client &client, const PartRange &range);
    // Writes the finished ranges at their offsets; as for uploads, a failed range is asked for
    // again by the next call.
    qint64 collectDownloadRanges(qint64 waitMs);
    // Hashes the written bytes that now follow the contiguous ones without a gap.
    void extendDownloadedPrefix();
    // How long a call waits for the first of its requests to finish: with several allowed in
    // flight it returns after a second at most, so that pause and abort keep the pace of one
    // chunk while the parts in flight share the link.
    qint64 collectWaitMs() const;
    [[noreturn]] void failUploadChunk(Client &client, const aws::AwsError &error);
    [[noreturn]] void failChangedDownload(const aws::AwsError &error);
    void checkUploadedData(const QString &eTag);
    // How the download must be hashed to be judged, nothing when it cannot be.
    std::optional<qint64> learnDigestPartSize(Client &client, const QString &bucket,
                                              const QString &key, const aws::ObjectHead &head);
    bool middlePartsAsLearnt(Client &client);
    void checkDownloadedData(Client &client);

    bool singleUser;
    aws::CurlRuntime curlRuntime;
    std::unique_ptr<Client> client;
    qint64 downloadChunkSize = 5242880;
    qint64 uploadChunkSize = 5242880;
    bool integrityChecks = true;
    qint32 transferConcurrency = 1;
    QString downloadBucket, downloadKey, downloadFile;
    // downloadedBytes: written from the start without a gap (and hashed).
    qint64 downloadedBytes = 0, downloadSize = 0;
    qint64 nextRangeOffset = 0;             // the first byte no range has asked for yet
    std::map<qint64, qint64> writtenRanges; // offset to length, beyond the downloaded bytes
    std::deque<PartRange> downloadRetries;  // failed ranges, asked for again first
    std::map<quint64, std::shared_ptr<DownloadJob>> downloadJobs; // in flight, by offset
    aws::RequestLanes downloadLanes;
    QElapsedTimer downloadClock; // since the last bytes counted for the speed
    QString downloadETag;
    QDateTime downloadLastModified;
    // Null when the download's ETag cannot be judged or the checks are off.
    std::unique_ptr<aws::StreamDigest> downloadDigest;
    QString uploadBucket, uploadKey, uploadFile, uploadContentType;
    qint64 uploadedBytes = 0, uploadSize = 0;
    // A continued upload keeps the layout it began with: part k covers [(k - 1) * size,
    // k * size) of the file; its missing parts are sent as retries. Others send part after part
    // in the chunk size then in force.
    qint64 uploadPartSize = 0;
    int nextPartNumber = 1;
    qint64 nextPartOffset = 0;
    std::deque<PartRange> uploadRetries; // parts to send before new ones, in part order
    std::map<quint64, std::shared_ptr<UploadJob>> uploadJobs; // in flight, by part number
    aws::RequestLanes uploadLanes;
    QElapsedTimer uploadClock;
    qint32 uploadSpeed = 0, downloadSpeed = 0;
    QDateTime uploadFileModified; // of the file when the upload began
    struct SentPart
    {
        int number = 0;
        qint64 size = 0;
        QString eTag;      // as the server sent it
        QByteArray digest; // binary MD5 of the part's data
    };
    QList<SentPart> sentParts;       // confirmed by the server, in part order
    bool partETagsAreDigests = true; // false for encrypted objects: then nothing to judge
    QString uploadId;
    std::unique_ptr<QFile> downloadStream;
};

} // namespace Brenn_AWS
