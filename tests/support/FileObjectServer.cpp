#include "FileObjectServer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace {

constexpr qint64 block = 64 * 1024;

bool reply(int fd, const QByteArray &status, const QByteArray &headers, const QByteArray &body)
{
    return sendAll(fd, "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " +
                           QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

QByteArray xmlReply(const char *root, const QByteArray &content)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<") + root +
           " xmlns=\"http://s3.amazonaws.com/doc/2006-03-01/\">" + content + "</" + root + '>';
}

} // namespace

FileObjectServer::FileObjectServer(const QString &objectFile)
    : m_path(objectFile), m_server([this](int fd) { serve(fd); })
{
}

FileObjectServer::~FileObjectServer()
{
    if (m_file >= 0)
        ::close(m_file);
}

bool FileObjectServer::start()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray eTag;
    if (m_partLengths.isEmpty()) {
        QCryptographicHash md5(QCryptographicHash::Md5);
        if (!md5.addData(&file))
            return false;
        eTag = md5.result().toHex();
    } else {
        QByteArray digests;
        for (const qint64 length : std::as_const(m_partLengths))
            digests += QCryptographicHash::hash(file.read(length), QCryptographicHash::Md5);
        eTag = QCryptographicHash::hash(digests, QCryptographicHash::Md5).toHex() + '-' +
               QByteArray::number(m_partLengths.size());
    }
    if (m_kms)
        eTag = QCryptographicHash::hash(eTag, QCryptographicHash::Md5).toHex();
    m_eTag = '"' + eTag + '"';
    m_size = file.size();
    m_file = ::open(QFile::encodeName(m_path).constData(), O_RDONLY);
    return m_file >= 0 && m_server.start();
}

QString FileObjectServer::url() const
{
    return m_server.url();
}

void FileObjectServer::limitRate(qint64 bytesPerSecond)
{
    m_toServer.setRate(bytesPerSecond);
    m_toClient.setRate(bytesPerSecond);
}

void FileObjectServer::serve(int fd)
{
    // The head and the body of a reply go out in separate writes: without this, Nagle's
    // algorithm would hold the body back until the client's delayed acknowledgement of the head.
    const int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    SocketReader in(fd);
    for (;;) {
        const QByteArray head = in.until("\r\n\r\n");
        if (head.isEmpty() || !answer(fd, in, head))
            return;
    }
}

bool FileObjectServer::answer(int fd, SocketReader &in, const QByteArray &head)
{
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    if (requestLine.size() < 2)
        return false;
    const QByteArray &method = requestLine.at(0);
    const QByteArray &target = requestLine.at(1);
    const QUrlQuery query(QString::fromLatin1(target.mid(target.indexOf('?') + 1)));
    const QByteArray uploadId = query.queryItemValue(QStringLiteral("uploadId")).toLatin1();
    if (headerValue(head, "Expect").toLower() == "100-continue" &&
        !sendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n"))
        return false;
    // The body is read, paced like the link, and dropped.
    const bool bodyRead =
        in.copy(headerValue(head, "Content-Length").toLongLong(), [this](QByteArray &data) {
            m_toServer.carry(data.size());
            return true;
        });
    if (!bodyRead)
        return false;

    const QByteArray path = target.split('?').constFirst();
    const bool bucketOnly = path.indexOf('/', 1) < 0 || path.indexOf('/', 1) == path.size() - 1;
    if (method == "GET" && bucketOnly && !query.hasQueryItem(QStringLiteral("uploads")))
        return listing(fd, query.queryItemValue(QStringLiteral("prefix")).toUtf8());
    if (method == "HEAD" && bucketOnly)
        return reply(fd, "200 OK", {}, {});
    if (method == "HEAD" || method == "GET") {
        const int partNumber =
            m_partNumbers ? query.queryItemValue(QStringLiteral("partNumber")).toInt() : 0;
        return sendObject(fd, method == "GET", storedETag(path), headerValue(head, "Range"),
                          partNumber);
    }
    if (method == "POST" && query.hasQueryItem(QStringLiteral("uploads"))) {
        QByteArray id;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            id = "upload-" + QByteArray::number(++m_uploads);
            m_uploadKeys.insert(id, path);
        }
        return reply(fd, "200 OK", "Content-Type: application/xml\r\n",
                     xmlReply("InitiateMultipartUploadResult", "<UploadId>" + id + "</UploadId>"));
    }
    if (method == "PUT" && !uploadId.isEmpty()) {
        const QByteArray eTag =
            takePart(uploadId, query.queryItemValue(QStringLiteral("partNumber")).toInt(),
                     QByteArray::fromBase64(headerValue(head, "Content-MD5")));
        return reply(fd, "200 OK", "ETag: \"" + eTag + "\"\r\n", {});
    }
    if (method == "POST" && !uploadId.isEmpty()) {
        return reply(fd, "200 OK", "Content-Type: application/xml\r\n",
                     xmlReply("CompleteMultipartUploadResult",
                              "<ETag>\"" + completedETag(uploadId) + "\"</ETag>"));
    }
    if (method == "PUT") {
        // A bucket is made, or an object stored in one request.
        if (bucketOnly)
            return reply(fd, "200 OK", "Location: " + path + "\r\n", {});
        const QByteArray eTag =
            '"' + QByteArray::fromBase64(headerValue(head, "Content-MD5")).toHex() + '"';
        store(path, eTag);
        return reply(fd, "200 OK", "ETag: " + eTag + "\r\n", {});
    }
    if (method == "DELETE")
        return reply(fd, "204 No Content", {}, {});
    return reply(fd, "501 Not Implemented", {}, {});
}

bool FileObjectServer::listing(int fd, const QByteArray &prefix)
{
    const QByteArray key = QFileInfo(m_path).fileName().toUtf8();
    const bool listed = key.startsWith(prefix);
    QByteArray content = "<Prefix>" + prefix + "</Prefix><KeyCount>" +
                         QByteArray(listed ? "1" : "0") +
                         "</KeyCount><IsTruncated>false</IsTruncated>";
    if (listed) {
        content += "<Contents><Key>" + key +
                   "</Key><LastModified>2024-01-01T00:00:00.000Z</LastModified><ETag>" + m_eTag +
                   "</ETag><Size>" + QByteArray::number(m_size) +
                   "</Size><StorageClass>STANDARD</StorageClass></Contents>";
    }
    return reply(fd, "200 OK", "Content-Type: application/xml\r\n",
                 xmlReply("ListBucketResult", content));
}

bool FileObjectServer::sendObject(int fd, bool withBody, const QByteArray &eTag,
                                  const QByteArray &range, int partNumber)
{
    qint64 first = 0;
    qint64 last = m_size - 1;
    QByteArray status = "200 OK";
    QByteArray headers = "ETag: " + eTag + "\r\nLast-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n";
    if (m_kms)
        headers += "x-amz-server-side-encryption: aws:kms\r\n";
    if (partNumber > 0) {
        // A part is answered as a range; an object stored whole is its own part 1.
        if (partNumber > qMax<qsizetype>(1, m_partLengths.size()))
            return reply(fd, "416 Range Not Satisfiable", {}, {});
        for (int part = 1; part < partNumber; ++part)
            first += m_partLengths.at(part - 1);
        if (!m_partLengths.isEmpty()) {
            last = first + m_partLengths.at(partNumber - 1) - 1;
            headers += "x-amz-mp-parts-count: " + QByteArray::number(m_partLengths.size()) + "\r\n";
        }
    } else if (range.startsWith("bytes=")) {
        const QList<QByteArray> bounds = range.mid(6).split('-');
        first = bounds.value(0).toLongLong();
        if (!bounds.value(1).isEmpty())
            last = qMin(last, bounds.value(1).toLongLong());
        if (first > last) {
            return reply(fd, "416 Range Not Satisfiable",
                         "Content-Range: bytes */" + QByteArray::number(m_size) + "\r\n", {});
        }
    }
    if (partNumber > 0 || range.startsWith("bytes=")) {
        status = "206 Partial Content";
        headers += "Content-Range: bytes " + QByteArray::number(first) + '-' +
                   QByteArray::number(last) + '/' + QByteArray::number(m_size) + "\r\n";
    }
    if (!sendAll(fd, "HTTP/1.1 " + status + "\r\n" + headers +
                         "Content-Length: " + QByteArray::number(last - first + 1) + "\r\n\r\n"))
        return false;
    if (!withBody)
        return true;
    off_t offset = first;
    while (offset <= last) {
        const qint64 size = qMin(block, last + 1 - offset);
        m_toClient.carry(size);
        // The kernel copies from the page cache to the socket: the server's CPU stays out of
        // what is measured.
        for (const off_t end = offset + size; offset < end;) {
            if (::sendfile(fd, m_file, &offset, static_cast<size_t>(end - offset)) <= 0)
                return false;
        }
    }
    return true;
}

QByteArray FileObjectServer::takePart(const QByteArray &uploadId, int partNumber,
                                      const QByteArray &md5)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_partDigests[uploadId][partNumber] = md5;
    return md5.toHex();
}

QByteArray FileObjectServer::completedETag(const QByteArray &uploadId)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const QMap<int, QByteArray> parts = m_partDigests.take(uploadId);
    QByteArray digests;
    for (const QByteArray &digest : parts)
        digests += digest;
    const QByteArray eTag = QCryptographicHash::hash(digests, QCryptographicHash::Md5).toHex() +
                            '-' + QByteArray::number(parts.size());
    m_storedETags.insert(m_uploadKeys.take(uploadId), '"' + eTag + '"');
    return eTag;
}

void FileObjectServer::store(const QByteArray &path, const QByteArray &eTag)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_storedETags.insert(path, eTag);
}

QByteArray FileObjectServer::storedETag(const QByteArray &path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_storedETags.value(path, m_eTag);
}
