#pragma once

#include "LinkPacer.h"
#include "LoopbackServer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <mutex>

// An S3 endpoint on 127.0.0.1 that costs next to no CPU, so that a benchmark sees what the client
// costs: every key reads as one local file (HEAD, and GET of a range or of a part sent with
// sendfile, with the file's MD5 as ETag), a bucket's listing shows that file under its own name,
// and uploads in one request or in parts are taken and dropped, each ETag made from the
// Content-MD5 the client sent; a key uploaded to reads with its upload's ETag from then on, as
// aws-cli and rclone check. Making a bucket succeeds, and "Expect: 100-continue" is answered.
// Signatures are not checked. Both directions can be paced like a network link.
class FileObjectServer
{
public:
    explicit FileObjectServer(const QString &objectFile);
    ~FileObjectServer();
    FileObjectServer(const FileObjectServer &) = delete;
    FileObjectServer &operator=(const FileObjectServer &) = delete;

    // The ways S3 shows an object that another tool stored; each is set before start().
    // Uploaded in parts of these lengths: the multipart ETag, and HEAD or GET with `partNumber`
    // answer that part with the part count.
    void setPartLengths(const QList<qint64> &lengths) { m_partLengths = lengths; }
    // Like a server that knows no part numbers: the query is ignored.
    void ignorePartNumbers() { m_partNumbers = false; }
    // Encrypted with SSE-KMS: the header says so, and the ETag is no MD5 of the data.
    void encryptWithKms() { m_kms = true; }

    // Hashes the file for its ETag and listens; false when it cannot.
    bool start();
    QString url() const;
    // From now on each direction carries at most this many bytes a second (0: as fast as
    // loopback).
    void limitRate(qint64 bytesPerSecond);

private:
    bool answer(int fd, SocketReader &in, const QByteArray &head);
    bool listing(int fd, const QByteArray &prefix);
    bool sendObject(int fd, bool withBody, const QByteArray &eTag, const QByteArray &range,
                    int partNumber);
    QByteArray takePart(const QByteArray &uploadId, int partNumber, const QByteArray &md5);
    QByteArray completedETag(const QByteArray &uploadId);
    void store(const QByteArray &path, const QByteArray &eTag);
    QByteArray storedETag(const QByteArray &path);
    void serve(int fd);

    QString m_path;
    int m_file = -1;
    qint64 m_size = 0;
    QByteArray m_eTag;
    QList<qint64> m_partLengths;
    bool m_partNumbers = true;
    bool m_kms = false;
    std::mutex m_mutex;
    int m_uploads = 0;
    QHash<QByteArray, QMap<int, QByteArray>> m_partDigests; // by upload id, binary MD5s
    QHash<QByteArray, QByteArray> m_uploadKeys;             // path by upload id
    QHash<QByteArray, QByteArray> m_storedETags;            // quoted, by path
    LinkPacer m_toServer;
    LinkPacer m_toClient;
    LoopbackServer m_server; // last: its threads use the members above
};
