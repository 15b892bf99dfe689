#pragma once

#include "RecordingHttpServer.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>

#include <functional>

// An in-memory S3 on 127.0.0.1 that logs what it is sent and makes multipart ETags as S3 does
// (s3rver's are plain MD5s): ListParts, ListMultipartUploads, AbortMultipartUpload. Objects: PUT,
// GET (Range, If-Match), HEAD (also of one part), DELETE. Any bucket exists; signatures are not
// checked. Requests are answered on a thread of its own.
//
//     MultipartS3Peer peer;
//     Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), "key", "secret", "");
//     ... peer.log(), peer.object("bucket", "key"), peer.putObject(...) ...
class MultipartS3Peer
{
public:
    struct LoggedRequest
    {
        QByteArray method;
        QString path;              // decoded, "/bucket/key"
        QString query;             // as sent
        QByteArray range, ifMatch; // the headers' values, null when absent
        // The value of a query parameter, decoded; null when absent.
        QString parameter(const QString &name) const;
    };

    MultipartS3Peer();
    QString endpoint() const; // "http://127.0.0.1:<port>"

    // Every request so far, in order of arrival.
    QList<LoggedRequest> log() const;
    void clearLog();
    // The part numbers of the UploadPart requests so far, in order of arrival.
    QList<int> partsSent() const;

    // Replaces or reads an object behind the client's back; null when there is none.
    void putObject(const QString &bucket, const QString &key, const QByteArray &data);
    QByteArray object(const QString &bucket, const QString &key) const;
    // Page sizes of ListParts (unless the request asks for fewer) and ListMultipartUploads.
    void setPageSizes(int maxParts, int maxUploads);

    // What happens to a request on the way, instead of its answer: lost (never acted on nor
    // answered, as on a link that stalls) or answered 503 SlowDown.
    enum class Mishap
    {
        None,
        Lost,
        SlowDown
    };
    using Mishaps = std::function<Mishap(const LoggedRequest &)>;
    // Chooses the mishap of every request from now on; it sees each one as logged.
    void setMishaps(const Mishaps &mishaps);

private:
    struct Object
    {
        QByteArray data;
        QByteArray eTag; // without quotes
        QList<qint64> partSizes;
        QDateTime lastModified;
        // A completed upload's parts, joined into data when the object is first read, so that
        // completing costs what S3 makes a client wait for, not a copy of the whole object.
        QList<QByteArray> unjoined{};
    };
    // The object's bytes, its parts joined first where they are not yet.
    static const QByteArray &dataOf(Object &object);
    struct Part
    {
        QByteArray data;
        QByteArray md5; // hashed once on arrival: listing and completing a large upload stay cheap
    };
    struct Upload
    {
        QString path;
        QMap<int, Part> parts;
        QDateTime initiated;
    };
    using Reply = RecordingHttpServer::Reply;

    Reply answer(const RecordingHttpServer::Request &request);
    Reply objectReply(const RecordingHttpServer::Request &request, const LoggedRequest &logged);
    Reply uploadReply(const RecordingHttpServer::Request &request, const LoggedRequest &logged);
    Reply listUploads(const LoggedRequest &logged);
    Reply listObjects(const LoggedRequest &logged) const; // one page, as a browser needs
    Reply listParts(const LoggedRequest &logged, const Upload &upload);
    Reply complete(const RecordingHttpServer::Request &request, const QString &uploadId);

    mutable QMutex m_mutex; // guards what follows
    QList<LoggedRequest> m_log;
    mutable QMap<QString, Object> m_objects; // by path; parts are joined on first read
    QMap<QString, Upload> m_uploads;         // by id
    int m_nextUpload = 0;
    int m_maxParts = 1000;
    int m_maxUploads = 1000;
    Mishaps m_mishaps;

    RecordingHttpServer m_server{RecordingHttpServer::OnOwnThread};
};
