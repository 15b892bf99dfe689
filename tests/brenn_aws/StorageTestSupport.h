#pragma once

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

} // namespace StorageTest
