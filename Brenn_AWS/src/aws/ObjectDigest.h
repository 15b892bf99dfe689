#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <optional>

class QIODevice;

namespace Brenn_AWS::aws {

// S3's ETags as digests of an object's data: a single PUT gets the MD5 of its body, a multipart
// upload the MD5 of its parts' binary MD5s, "-" and the part count. Other ETags (encrypted
// objects, other servers) say nothing about the data. ETags here are without quotes.

// "<MD5 of the digests, hex>-<count>" for parts with these 16-byte MD5s, concatenated.
QString multipartETag(const QByteArray &partDigests);

// The ETag an object completed from parts with these digests must have, in the form the
// server gave: the multipart form, or the MD5 of the whole object (what s3rver answers), known
// only for a single part. Nothing for other ETags.
std::optional<QString> expectedCompletedETag(const QString &eTag, const QByteArray &partDigests);

// The part count of the multipart form, 0 for any other ETag.
int multipartCount(const QString &eTag);

// How a download of `objectSize` bytes must be hashed to be judged against its ETag: 0 for
// the MD5 of the whole object, the part size for the multipart form, nothing when it cannot
// be. The parts' layout is what the server tells of the first: its length and the object's
// part count. It holds when parts of that length, the last one shorter, make up the object.
std::optional<qint64> digestPartSize(const QString &eTag, qint64 objectSize, qint64 firstPartSize,
                                     int partsCount);

// The ETag of a byte stream fed in order, hashed in parts of a fixed size (0: one part).
class StreamDigest
{
public:
    explicit StreamDigest(qint64 partSize);

    qint64 partSize() const { return m_partSize; }
    void addData(const char *data, qint64 size);
    qint64 size() const { return m_fed; }
    // Back to the state after the first `offset` bytes, hashing again from `source` (which holds
    // them) only those of the part in progress. False when the source cannot be read.
    bool rewind(QIODevice &source, qint64 offset);
    // Hashes the bytes from those fed so far up to `offset`, read from `source`.
    bool catchUp(QIODevice &source, qint64 offset);
    QString eTag();

private:
    qint64 m_partSize;
    QCryptographicHash m_part{QCryptographicHash::Md5};
    qint64 m_partFed = 0;
    qint64 m_fed = 0;
    QByteArray m_digests;
};

} // namespace Brenn_AWS::aws
