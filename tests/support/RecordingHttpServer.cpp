#include "RecordingHttpServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace {

const QByteArray headEnd = QByteArrayLiteral("\r\n\r\n");

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Parses a complete request head; the body is filled in later.
RecordingHttpServer::Request parseHead(const QByteArray &head)
{
    RecordingHttpServer::Request request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    return request;
}

} // namespace

QByteArray RecordingHttpServer::Request::requestLine() const
{
    return raw.left(raw.indexOf("\r\n"));
}

QByteArray RecordingHttpServer::Request::header(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (sameName(header.first, name))
            return header.second;
    }
    return QByteArray();
}

bool RecordingHttpServer::Request::hasHeader(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (sameName(header.first, name))
            return true;
    }
    return false;
}

RecordingHttpServer::Reply RecordingHttpServer::Reply::json(const QByteArray &body, int status)
{
    Reply reply;
    reply.status = status;
    reply.headers = {{"Content-Type", "application/json"}};
    reply.body = body;
    return reply;
}

RecordingHttpServer::Reply RecordingHttpServer::Reply::text(const QByteArray &body, int status)
{
    Reply reply = json(body, status);
    reply.headers = {{"Content-Type", "text/plain"}};
    return reply;
}

RecordingHttpServer::RecordingHttpServer(QObject *parent)
    : QObject(parent), m_server(new QTcpServer(this)),
      m_handler([](const Request &) { return Reply(); })
{
    connect(m_server, &QTcpServer::newConnection, this, &RecordingHttpServer::onNewConnection);
}

RecordingHttpServer::~RecordingHttpServer() = default;

bool RecordingHttpServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 RecordingHttpServer::port() const
{
    return m_server->serverPort();
}

QString RecordingHttpServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void RecordingHttpServer::setReply(const Reply &reply)
{
    m_handler = [reply](const Request &) { return reply; };
}

void RecordingHttpServer::setHandler(const Handler &handler)
{
    m_handler = handler;
}

QList<RecordingHttpServer::Request> RecordingHttpServer::requests() const
{
    return m_requests;
}

void RecordingHttpServer::answerHeld(const Reply &reply)
{
    const QList<QPointer<QTcpSocket>> held = std::exchange(m_held, {});
    for (const QPointer<QTcpSocket> &socket : held) {
        if (socket)
            respond(socket, reply);
    }
}

void RecordingHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void RecordingHttpServer::onReadyRead(QTcpSocket *socket)
{
    // Unanswered bytes wait in the socket's own property until a whole request is there.
    QByteArray buffer = socket->property("pending").toByteArray() + socket->readAll();
    for (;;) {
        const qsizetype end = buffer.indexOf(headEnd);
        if (end < 0)
            break;
        Request request = parseHead(buffer.left(end));
        const qsizetype bodyLength = request.header("Content-Length").toLongLong();
        const qsizetype total = end + headEnd.size() + bodyLength;
        if (buffer.size() < total)
            break;
        request.raw = buffer.left(total);
        request.body = buffer.mid(end + headEnd.size(), bodyLength);
        buffer.remove(0, total);
        m_requests.append(request);
        const Reply reply = m_handler(request);
        emit requestReceived();
        if (!reply.answer) {
            m_held.append(socket);
            continue;
        }
        if (reply.delayMs > 0) {
            QPointer<QTcpSocket> target(socket);
            QTimer::singleShot(reply.delayMs, this, [this, target, reply] {
                if (target)
                    respond(target, reply);
            });
        } else {
            respond(socket, reply);
        }
    }
    socket->setProperty("pending", buffer);
}

void RecordingHttpServer::respond(QTcpSocket *socket, const Reply &reply)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                      (reply.reason.isEmpty() ? reasonPhrase(reply.status) : reply.reason) + "\r\n";
    bool hasLength = false;
    for (const auto &header : reply.headers) {
        head += header.first + ": " + header.second + "\r\n";
        hasLength |= sameName(header.first, "Content-Length");
    }
    if (!hasLength)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    socket->write(head + "\r\n" + reply.body);
}
