#pragma once

#include <QMetaType>
#include <QString>

// Where a storage operation goes: the service (MinIO address or AWS region), the bucket and the
// user's area in it. Every queue entry keeps the one it was made for, whatever a refresh of the
// browser changes afterwards.
struct S3Target
{
    qint32 type = 1; // 1 MinIO, 2 Amazon S3
    QString url;
    QString bucket;
    QString rootFolder;

    // Same service: one set of credentials and one storage object serve both.
    bool sameService(const S3Target &other) const { return type == other.type && url == other.url; }
    friend bool operator==(const S3Target &a, const S3Target &b)
    {
        return a.sameService(b) && a.bucket == b.bucket && a.rootFolder == b.rootFolder;
    }
};

Q_DECLARE_METATYPE(S3Target)
