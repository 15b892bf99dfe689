#pragma once

#include <Brenn_AWS/Brenn_AWS_Global.h>
#include <Brenn_AWS/QAWSException.h>
#include <Brenn_AWS/Structs.h>
#include <Brenn_AWS/Type.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Brenn_AWS {

class Storage_S3_Private;

// S3 and MinIO object storage. Constructed with credentials, the object is in single-user mode
// and uses one client for every call; default-constructed, it is in multi-user mode and every
// call names its own client (type, location, access key id, secret key). A call in the other
// mode's form throws QAWSException 187 or 188. Failures are thrown as QAWSException.
// An empty object key is refused with QAWSException 6 before anything is sent: it would
// address the bucket itself. One thread at a time per object.
class BRENN_AWS_EXPORT Storage_S3
{
public:
    Storage_S3(Type type, const QString &location, const QString &accessKeyId,
               const QString &secretKey, const QString &sessionToken);
    Storage_S3();
    ~Storage_S3();
    Storage_S3(const Storage_S3 &) = delete;
    Storage_S3 &operator=(const Storage_S3 &) = delete;

    // Every key below the prefix, at any depth, across all pages.
    void ListObjects(const QString &bucket, const QString &prefix, QStringList &keys);
    void ListObjects(Type type, const QString &location, const QString &accessKeyId,
                     const QString &secretKey, const QString &bucket, const QString &prefix,
                     QStringList &keys);

    // The same listing with each object's size and ETag (without quotes) from the listing
    // itself, in the order of the keys: one request per page instead of one per object.
    void ListObjectsWithInfo(const QString &bucket, const QString &prefix, QStringList &keys,
                             QList<ObjectInfo> &infos);
    void ListObjectsWithInfo(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey, const QString &bucket, const QString &prefix,
                             QStringList &keys, QList<ObjectInfo> &infos);

    ObjectInfo GetObjectInfo(const QString &bucket, const QString &key);
    ObjectInfo GetObjectInfo(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey, const QString &bucket, const QString &key);

    // The ETag as the server sent it, quotes included.
    QString GetObjectETag(const QString &bucket, const QString &key);
    QString GetObjectETag(Type type, const QString &location, const QString &accessKeyId,
                          const QString &secretKey, const QString &bucket, const QString &key);

    qint64 GetObjectSize(const QString &bucket, const QString &key);
    qint64 GetObjectSize(Type type, const QString &location, const QString &accessKeyId,
                         const QString &secretKey, const QString &bucket, const QString &key);

    // The object's size, or -1 when it cannot be read for whatever reason, and for an empty key
    // (without a request). Never throws for a server or network outcome.
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

    // A URL for an HTTP GET of the object, valid for expirySeconds; computed locally.
    void PreSignedURL(const QString &bucket, const QString &key, QString &url,
                      qint64 expirySeconds);
    void PreSignedURL(Type type, const QString &location, const QString &accessKeyId,
                      const QString &secretKey, const QString &bucket, const QString &key,
                      QString &url, qint64 expirySeconds);

    // The objects packed flat under their file names (the part after the last "/").
    void DownloadObjectsAsZip(const QString &bucket, const QStringList &keys,
                              const QString &zipFile);
    void DownloadObjectsAsZip(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket,
                              const QStringList &keys, const QString &zipFile);
    void DownloadObjectsAsZip(const QString &bucket, const QStringList &keys, QByteArray &zip);
    void DownloadObjectsAsZip(Type type, const QString &location, const QString &accessKeyId,
                              const QString &secretKey, const QString &bucket,
                              const QStringList &keys, QByteArray &zip);

    // Chunked transfers: one call moves one chunk. Calling again with the same bucket, key and
    // local file continues the stored transfer; other values start a new one.
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
    // Forgets the stored download and deletes its partial file.
    void AbortDownloadObjectMultipart();
    // Aborts the stored upload on the server and forgets it.
    void AbortUploadObjectMultipart();
    void AbortUploadObjectMultipart(Type type, const QString &location, const QString &accessKeyId,
                                    const QString &secretKey);
    // Multipart uploads on the server, across all pages of the listing: the parts it holds of
    // one upload, the bucket's open uploads below the prefix, and the end of one of them.
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

    // The stored chunked transfers as they stand after the last call, to be kept and continued
    // later, in another process (empty upload id or key: none stored). The upload's id is there
    // from the call that created it, its parts as the server confirmed them.
    UploadState UploadObjectMultipartState() const;
    DownloadState DownloadObjectMultipartState() const;
    // Makes the described upload the stored one. The parts the server lists for its id are kept
    // where they match the local file (same range of the file, same size and MD5); the following
    // UploadObjectMultipart calls with the same bucket, key and file send the others and complete
    // the upload. An upload id the server no longer knows throws its error ("NoSuchUpload").
    // Another stored upload is aborted, as when a chunked upload starts.
    void ContinueUploadObjectMultipart(const UploadState &state);
    void ContinueUploadObjectMultipart(Type type, const QString &location,
                                       const QString &accessKeyId, const QString &secretKey,
                                       const UploadState &state);
    // Makes the described download the stored one, going on from its `transferred` bytes (those
    // written without a gap), or from the partial local file's length where that is shorter;
    // the file is cut there. Every chunk of a chunked download asks for the object with the ETag
    // its download began with; one that changed in between fails with "PreconditionFailed", and the
    // partial file is deleted and the download forgotten. The integrity check of a continued
    // download hashes the partial file's bytes again.
    void ContinueDownloadObjectMultipart(const DownloadState &state);
    void ContinueDownloadObjectMultipart(Type type, const QString &location,
                                         const QString &accessKeyId, const QString &secretKey,
                                         const DownloadState &state);
    // Both return the size now in force; an upload part must be larger than 5 MiB.
    qint64 SetDownloadChunkSize(qint64 bytes);
    qint64 SetUploadChunkSize(qint64 bytes);
    // How many parts of a chunked upload, or ranges of a chunked download, are in flight at once
    // (1 to 16, 1 by default), each on a connection of its own. A chunked call starts parts up to
    // this number and returns when at least one of them is done; above 1, after a second at the
    // latest, so that pause and abort keep their pace. Parts in flight when no call runs go on
    // and are counted by the next call; an abort ends them first. A download writes each range
    // at its offset. Returns the setting now in force.
    qint32 SetTransferConcurrency(qint32 parts);
    // On by default: the finished chunked upload or download is compared with the object's ETag
    // where that is known to be an MD5 digest of the data (for an object stored in parts, in the
    // part size the server tells; not for objects encrypted with KMS or customer keys); a
    // mismatch throws QAWSException 189 (a download deletes its file) and forgets the transfer.
    // Switched on, it holds for transfers begun from then on. Returns the setting now in force.
    bool SetIntegrityChecks(bool enabled);

    // Single-user mode: renewed credentials for every request from now on. The stored chunked
    // upload and download go on with them from their next chunk.
    void UpdateCredentials(const QString &accessKeyId, const QString &secretKey,
                           const QString &sessionToken);

    // For every storage object made from now on, in the whole process: how long a request waits
    // for its connection, and how long its transfer may stall, before it fails as a network
    // error (by default 60 s and 600 s). Values below 1 ms are taken as 1 ms.
    static void SetTimeouts(qint64 connectMs, qint64 stallMs);

private:
    Storage_S3_Private *d;
};

} // namespace Brenn_AWS
