#include "MultipartS3Peer.h"

#include <QCryptographicHash>
#include <QLocale>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QUrlQuery>

#include <numeric>

namespace {

using Reply = RecordingHttpServer::Reply;

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

Reply xmlReply(const QByteArray &body, int status = 200)
{
    Reply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", "application/xml"}};
    reply.body = R"(<?xml version="1.0" encoding="UTF-8"?>)" + body;
    return reply;
}

Reply errorReply(int status, const QByteArray &code)
{
    return xmlReply("<Error><Code>" + code + "</Code><Message>" + code + "</Message></Error>",
                    status);
}

Reply withETag(const QByteArray &digest)
{
    Reply reply;
    reply.headers = {{"ETag", '"' + digest.toHex() + '"'}};
    return reply;
}

Reply noContent()
{
    Reply reply;
    reply.status = 204;
    return reply;
}

QByteArray element(const char *name, const QString &text)
{
    return '<' + QByteArray(name) + '>' + text.toHtmlEscaped().toUtf8() + "</" + name + '>';
}

QString isoTime(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace

QString MultipartS3Peer::LoggedRequest::parameter(const QString &name) const
{
    const QUrlQuery parsed(query);
    return parsed.hasQueryItem(name) ? parsed.queryItemValue(name, QUrl::FullyDecoded) : QString();
}

MultipartS3Peer::MultipartS3Peer()
{
    m_server.setHandler([this](const RecordingHttpServer::Request &request) {
        m_server.clear(); // the peer logs what it needs; whole bodies would pile up
        return answer(request);
    });
}

void MultipartS3Peer::setMishaps(const Mishaps &mishaps)
{
    const QMutexLocker lock(&m_mutex);
    m_mishaps = mishaps;
}

QString MultipartS3Peer::endpoint() const
{
    return m_server.url();
}

QList<MultipartS3Peer::LoggedRequest> MultipartS3Peer::log() const
{
    const QMutexLocker lock(&m_mutex);
    return m_log;
}

void MultipartS3Peer::clearLog()
{
    const QMutexLocker lock(&m_mutex);
    m_log.clear();
}

QList<int> MultipartS3Peer::partsSent() const
{
    QList<int> numbers;
    for (const LoggedRequest &request : log()) {
        if (request.method == "PUT" && !request.parameter(QStringLiteral("uploadId")).isNull())
            numbers.append(request.parameter(QStringLiteral("partNumber")).toInt());
    }
    return numbers;
}

void MultipartS3Peer::putObject(const QString &bucket, const QString &key, const QByteArray &data)
{
    const QMutexLocker lock(&m_mutex);
    m_objects.insert(QStringLiteral("/%1/%2").arg(bucket, key),
                     Object{data, md5(data).toHex(), {}, QDateTime::currentDateTimeUtc()});
}

QByteArray MultipartS3Peer::object(const QString &bucket, const QString &key) const
{
    const QMutexLocker lock(&m_mutex);
    const auto found = m_objects.find(QStringLiteral("/%1/%2").arg(bucket, key));
    return found == m_objects.end() ? QByteArray() : dataOf(*found);
}

const QByteArray &MultipartS3Peer::dataOf(Object &object)
{
    if (!object.unjoined.isEmpty()) {
        object.data.reserve(
            std::accumulate(object.partSizes.cbegin(), object.partSizes.cend(), 0LL));
        for (const QByteArray &part : std::as_const(object.unjoined))
            object.data += part;
        object.unjoined.clear();
    }
    return object.data;
}

void MultipartS3Peer::setPageSizes(int maxParts, int maxUploads)
{
    const QMutexLocker lock(&m_mutex);
    m_maxParts = maxParts;
    m_maxUploads = maxUploads;
}

Reply MultipartS3Peer::answer(const RecordingHttpServer::Request &request)
{
    const LoggedRequest logged{
        request.method, QString::fromUtf8(QByteArray::fromPercentEncoding(request.path())),
        QString::fromUtf8(request.query()), request.header("Range"), request.header("If-Match")};
    const QMutexLocker lock(&m_mutex);
    m_log.append(logged);
    switch (m_mishaps ? m_mishaps(logged) : Mishap::None) {
    case Mishap::Lost: {
        Reply lost;
        lost.answer = false;
        return lost;
    }
    case Mishap::SlowDown:
        return errorReply(503, "SlowDown");
    case Mishap::None:
        break;
    }
    if (logged.path.count(QLatin1Char('/')) < 2 || logged.path.endsWith(QLatin1Char('/'))) {
        if (request.method == "GET" && !logged.parameter(QStringLiteral("uploads")).isNull())
            return listUploads(logged);
        if (request.method == "GET")
            return listObjects(logged);
        return errorReply(501, "NotImplemented");
    }
    if (!logged.parameter(QStringLiteral("uploadId")).isNull() ||
        !logged.parameter(QStringLiteral("uploads")).isNull())
        return uploadReply(request, logged);
    return objectReply(request, logged);
}

Reply MultipartS3Peer::listObjects(const LoggedRequest &logged) const
{
    const QString bucketPath =
        logged.path.endsWith(QLatin1Char('/')) ? logged.path : logged.path + '/';
    const QString prefix = bucketPath + logged.parameter(QStringLiteral("prefix"));
    QByteArray body = "<ListBucketResult><IsTruncated>false</IsTruncated>";
    for (auto object = m_objects.cbegin(); object != m_objects.cend(); ++object) {
        if (!object.key().startsWith(prefix))
            continue;
        body += "<Contents><Key>" + object.key().mid(bucketPath.size()).toHtmlEscaped().toUtf8() +
                "</Key><Size>" +
                QByteArray::number(object->unjoined.isEmpty()
                                       ? qint64(object->data.size())
                                       : std::accumulate(object->partSizes.cbegin(),
                                                         object->partSizes.cend(), qint64(0))) +
                "</Size><ETag>\"" + object->eTag + "\"</ETag></Contents>";
    }
    return Reply{200, {},  {{"Content-Type", "application/xml"}}, body + "</ListBucketResult>",
                 0,   true};
}

Reply MultipartS3Peer::objectReply(const RecordingHttpServer::Request &request,
                                   const LoggedRequest &logged)
{
    if (request.method == "PUT") {
        m_objects.insert(
            logged.path,
            Object{request.body, md5(request.body).toHex(), {}, QDateTime::currentDateTimeUtc()});
        return withETag(md5(request.body));
    }
    if (request.method == "DELETE") {
        m_objects.remove(logged.path);
        return noContent();
    }
    const auto found = m_objects.find(logged.path);
    if (found == m_objects.end())
        return errorReply(404, "NoSuchKey");
    const Object &object = *found;
    const QByteArray &data = dataOf(*found);
    const QByteArray quoted = '"' + object.eTag + '"';
    if (!logged.ifMatch.isNull() && logged.ifMatch != quoted && logged.ifMatch != "*")
        return errorReply(412, "PreconditionFailed");

    Reply reply;
    reply.body = data;
    reply.headers = {{"ETag", quoted}};
    reply.headers.append({"Last-Modified", QLocale::c()
                                               .toString(object.lastModified.toUTC(),
                                                         "ddd, dd MMM yyyy HH:mm:ss 'GMT'")
                                               .toLatin1()});
    const int partNumber = logged.parameter(QStringLiteral("partNumber")).toInt();
    if (partNumber > 0 && partNumber <= object.partSizes.size()) {
        reply.body = data.left(object.partSizes.at(partNumber - 1));
        reply.headers.append({"x-amz-mp-parts-count", QByteArray::number(object.partSizes.size())});
    }
    static const QRegularExpression rangePattern(QStringLiteral("^bytes=(\\d+)-(\\d+)$"));
    const auto range = rangePattern.match(QString::fromLatin1(logged.range));
    if (range.hasMatch()) {
        const qint64 first = range.captured(1).toLongLong();
        const qint64 last = qMin<qint64>(range.captured(2).toLongLong(), data.size() - 1);
        if (first > last)
            return errorReply(416, "InvalidRange");
        reply.status = 206;
        reply.body = data.mid(first, last - first + 1);
        reply.headers.append({"Content-Range", "bytes " + QByteArray::number(first) + '-' +
                                                   QByteArray::number(last) + '/' +
                                                   QByteArray::number(data.size())});
    }
    return reply; // the body of a HEAD reply is counted, not sent
}

Reply MultipartS3Peer::uploadReply(const RecordingHttpServer::Request &request,
                                   const LoggedRequest &logged)
{
    if (request.method == "POST" && !logged.parameter(QStringLiteral("uploads")).isNull()) {
        const QString id = QStringLiteral("upload-%1").arg(++m_nextUpload);
        m_uploads.insert(id, Upload{logged.path, {}, QDateTime::currentDateTimeUtc()});
        const QString bucket = logged.path.section(QLatin1Char('/'), 1, 1);
        return xmlReply("<InitiateMultipartUploadResult>" + element("Bucket", bucket) +
                        element("Key", logged.path.section(QLatin1Char('/'), 2)) +
                        element("UploadId", id) + "</InitiateMultipartUploadResult>");
    }
    const QString id = logged.parameter(QStringLiteral("uploadId"));
    const auto upload = m_uploads.find(id);
    if (upload == m_uploads.end() || upload->path != logged.path)
        return errorReply(404, "NoSuchUpload");
    if (request.method == "PUT") {
        const int number = logged.parameter(QStringLiteral("partNumber")).toInt();
        if (number < 1 || number > 10000)
            return errorReply(400, "InvalidArgument");
        const Part part{request.body, md5(request.body)};
        upload->parts.insert(number, part);
        return withETag(part.md5);
    }
    if (request.method == "GET")
        return listParts(logged, *upload);
    if (request.method == "DELETE") {
        m_uploads.erase(upload);
        return noContent();
    }
    return complete(request, id);
}

Reply MultipartS3Peer::listUploads(const LoggedRequest &logged)
{
    const QString prefix = logged.parameter(QStringLiteral("prefix"));
    const QString keyMarker = logged.parameter(QStringLiteral("key-marker"));
    const QString idMarker = logged.parameter(QStringLiteral("upload-id-marker"));
    // Listed by key, then by id; the markers name the last one listed before.
    QMap<QPair<QString, QString>, QDateTime> open;
    for (auto upload = m_uploads.cbegin(); upload != m_uploads.cend(); ++upload) {
        const QString bucketPath =
            logged.path.endsWith(QLatin1Char('/')) ? logged.path : logged.path + QLatin1Char('/');
        if (!upload->path.startsWith(bucketPath))
            continue;
        const QString key = upload->path.mid(bucketPath.size());
        if (key.startsWith(prefix) && qMakePair(key, upload.key()) > qMakePair(keyMarker, idMarker))
            open.insert({key, upload.key()}, upload->initiated);
    }
    QByteArray body = "<ListMultipartUploadsResult>" + element("Prefix", prefix);
    int listed = 0;
    for (auto upload = open.cbegin(); upload != open.cend(); ++upload) {
        if (listed++ == m_maxUploads) {
            const auto last = std::prev(upload).key();
            return xmlReply(
                body + "<IsTruncated>true</IsTruncated>" + element("NextKeyMarker", last.first) +
                element("NextUploadIdMarker", last.second) + "</ListMultipartUploadsResult>");
        }
        body += "<Upload>" + element("Key", upload.key().first) +
                element("UploadId", upload.key().second) +
                element("Initiated", isoTime(upload.value())) + "</Upload>";
    }
    return xmlReply(body + "<IsTruncated>false</IsTruncated></ListMultipartUploadsResult>");
}

Reply MultipartS3Peer::listParts(const LoggedRequest &logged, const Upload &upload)
{
    const int marker = logged.parameter(QStringLiteral("part-number-marker")).toInt();
    const QString asked = logged.parameter(QStringLiteral("max-parts"));
    const int maxParts = asked.isNull() ? m_maxParts : qMin(asked.toInt(), m_maxParts);
    QByteArray body = "<ListPartsResult>" +
                      element("UploadId", logged.parameter(QStringLiteral("uploadId"))) +
                      element("PartNumberMarker", QString::number(marker));
    int listed = 0, last = marker;
    for (auto part = upload.parts.upperBound(marker); part != upload.parts.cend(); ++part) {
        if (listed++ == maxParts)
            return xmlReply(body + "<IsTruncated>true</IsTruncated>" +
                            element("NextPartNumberMarker", QString::number(last)) +
                            "</ListPartsResult>");
        body +=
            "<Part>" + element("PartNumber", QString::number(part.key())) +
            element("Size", QString::number(part->data.size())) +
            element("ETag", QStringLiteral("\"%1\"").arg(QString::fromLatin1(part->md5.toHex()))) +
            "</Part>";
        last = part.key();
    }
    return xmlReply(body + "<IsTruncated>false</IsTruncated></ListPartsResult>");
}

Reply MultipartS3Peer::complete(const RecordingHttpServer::Request &request,
                                const QString &uploadId)
{
    const Upload upload = m_uploads.value(uploadId);
    static const QRegularExpression partPattern(
        QStringLiteral("<Part><ETag>([^<]*)</ETag><PartNumber>(\\d+)</PartNumber></Part>"));
    Object object;
    QByteArray digests;
    QList<Part> parts;
    for (auto match = partPattern.globalMatch(QString::fromUtf8(request.body)); match.hasNext();) {
        const auto listed = match.next();
        const auto part = upload.parts.constFind(listed.captured(2).toInt());
        const QByteArray eTag =
            listed.captured(1).remove(QStringLiteral("&quot;")).remove(QLatin1Char('"')).toLatin1();
        if (part == upload.parts.cend() || eTag != part->md5.toHex())
            return errorReply(400, "InvalidPart");
        parts.append(*part);
        object.partSizes.append(part->data.size());
        digests += part->md5;
    }
    for (const Part &part : std::as_const(parts))
        object.unjoined.append(part.data);
    if (object.partSizes.isEmpty())
        return errorReply(400, "MalformedXML");
    object.eTag = md5(digests).toHex() + '-' + QByteArray::number(object.partSizes.size());
    object.lastModified = QDateTime::currentDateTimeUtc();
    m_objects.insert(upload.path, object);
    m_uploads.remove(uploadId);
    return xmlReply(
        "<CompleteMultipartUploadResult>" +
        element("Key", upload.path.section(QLatin1Char('/'), 2)) +
        element("ETag", QStringLiteral("\"%1\"").arg(QString::fromLatin1(object.eTag))) +
        "</CompleteMultipartUploadResult>");
}
