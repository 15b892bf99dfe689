#include "RecordingHttpServer.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QThread>
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

QByteArray RecordingHttpServer::Request::path() const
{
    const qsizetype question = target.indexOf('?');
    return question < 0 ? target : target.left(question);
}

QByteArray RecordingHttpServer::Request::query() const
{
    const qsizetype question = target.indexOf('?');
    return question < 0 ? QByteArray() : target.mid(question + 1);
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

RecordingHttpServer::RecordingHttpServer(Threading threading, QObject *parent)
    : QObject(parent), m_server(new QTcpServer), m_handler([](const Request &) { return Reply(); })
{
    connect(m_server, &QTcpServer::newConnection, m_server, [this] { accept(); });
    if (threading == OnOwnThread) {
        m_thread = std::make_unique<QThread>();
        m_server->moveToThread(m_thread.get());
        // The server and its sockets are deleted on their own thread, as it ends.
        connect(m_thread.get(), &QThread::finished, m_server, &QObject::deleteLater);
        m_thread->start();
    }
    listen();
}

RecordingHttpServer::~RecordingHttpServer()
{
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    } else {
        delete m_server;
    }
}

bool RecordingHttpServer::listen()
{
    if (m_port == 0) {
        onSocketsThread([this] {
            if (m_server->listen(QHostAddress::LocalHost, 0))
                m_port = m_server->serverPort();
        });
    }
    return m_port != 0;
}

quint16 RecordingHttpServer::port() const
{
    return m_port;
}

QString RecordingHttpServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void RecordingHttpServer::setReply(const Reply &reply)
{
    setHandler([reply](const Request &) { return reply; });
}

void RecordingHttpServer::setHandler(const Handler &handler)
{
    const QMutexLocker lock(&m_mutex);
    m_handler = handler;
}

void RecordingHttpServer::addReply(const Reply &reply)
{
    const QMutexLocker lock(&m_mutex);
    m_queue.append(reply);
}

void RecordingHttpServer::addReply(int status, const QByteArray &body, const HeaderList &headers)
{
    Reply reply;
    reply.status = status;
    reply.headers = headers;
    reply.body = body;
    addReply(reply);
}

QList<RecordingHttpServer::Request> RecordingHttpServer::requests() const
{
    const QMutexLocker lock(&m_mutex);
    return m_requests;
}

void RecordingHttpServer::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_requests.clear();
    m_queue.clear();
}

void RecordingHttpServer::answerHeld(const Reply &reply)
{
    onSocketsThread([this, reply] {
        for (const auto &[socket, method] : std::exchange(m_held, {})) {
            if (socket)
                respond(socket, method, reply);
        }
    });
}

// Waits for the work when called from another thread than the sockets'.
void RecordingHttpServer::onSocketsThread(const std::function<void()> &work)
{
    const bool here = m_server->thread() == QThread::currentThread();
    QMetaObject::invokeMethod(m_server, work,
                              here ? Qt::DirectConnection : Qt::BlockingQueuedConnection);
}

void RecordingHttpServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setProperty("connection", ++m_connections);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void RecordingHttpServer::serve(QTcpSocket *socket)
{
    // Unanswered bytes wait in the socket's own property until a whole request is there.
    QByteArray buffer = socket->property("pending").toByteArray() + socket->readAll();
    if (buffer.startsWith('\x16')) {
        // A TLS handshake: fail it at once rather than let the client wait for an answer.
        socket->abort();
        return;
    }
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
        request.connection = socket->property("connection").toInt();
        buffer.remove(0, total);
        const Reply reply = record(request);
        emit requestReceived();
        if (!reply.answer) {
            m_held.append({socket, request.method});
        } else if (reply.delayMs > 0) {
            QTimer::singleShot(reply.delayMs, socket, [socket, method = request.method, reply] {
                respond(socket, method, reply);
            });
        } else {
            respond(socket, request.method, reply);
        }
    }
    socket->setProperty("pending", buffer);
}

RecordingHttpServer::Reply RecordingHttpServer::record(const Request &request)
{
    Handler handler;
    {
        const QMutexLocker lock(&m_mutex);
        m_requests.append(request);
        if (!m_queue.isEmpty())
            return m_queue.takeFirst();
        handler = m_handler;
    }
    // Unlocked, so that a handler may look at the server.
    return handler(request);
}

void RecordingHttpServer::respond(QTcpSocket *socket, const QByteArray &method, const Reply &reply)
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
    socket->write(head + "\r\n" + (method == "HEAD" ? QByteArray() : reply.body));
}
