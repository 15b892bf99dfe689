#pragma once

#include "S3Peer.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QtTest>

#include <functional>

// Shared by the storage tests: files of known content and checks of thrown QAWSExceptions.
namespace StorageTest {

inline const QString accessKey = QStringLiteral("S3RVER");
inline const QString secretKey = QStringLiteral("S3RVER");

// Bytes that differ from position to position, so that a misplaced chunk shows.
inline QByteArray patternBytes(qint64 size, quint32 seed = 1)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    for (qint64 i = size / 4 * 4; i < size; ++i)
        bytes[i] = static_cast<char>(i);
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `call` and returns the QAWSException it throws; code -2 when it throws none.
inline QAWSException thrownBy(const std::function<void()> &call)
{
    try {
        call();
    } catch (const QAWSException &exception) {
        return exception;
    }
    return QAWSException(-2, QStringLiteral("nothing thrown"), QString());
}

// One s3rver for a whole test class and a fresh bucket for every test function.
struct PeerWithBuckets
{
    S3Peer peer;
    QString bucket;
    int buckets = 0;

    // Starts the peer again if a test stopped it (on the same port, with the same objects).
    bool nextBucket(const QString &stem)
    {
        if (!peer.isRunning() && !peer.start({}, peer.port()))
            return false;
        bucket = stem + QString::number(++buckets);
        return peer.createBucket(bucket);
    }

    Brenn_AWS::Storage_S3 storage() const
    {
        return Brenn_AWS::Storage_S3(Brenn_AWS::MinIO, peer.endpoint(), accessKey, secretKey,
                                     QString());
    }
};

} // namespace StorageTest
