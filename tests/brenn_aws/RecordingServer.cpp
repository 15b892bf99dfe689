#include "RecordingServer.h"

#include <QHash>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

class RecordingServer::Worker : public QObject
{
    Q_OBJECT
public:
    explicit Worker(RecordingServer *owner) : m_owner(owner) {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server, &QTcpServer::newConnection, this, &Worker::accept);
        return m_server->serverPort();
    }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            m_connectionNumbers.insert(socket, ++m_connections);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    // Answers every complete request in the socket's buffer.
    void serve(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (buffer.startsWith('\x16')) {
            // A TLS handshake: this peer speaks plain HTTP only.
            socket->abort();
            return;
        }
        for (;;) {
            const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return;
            Request request;
            const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
            const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
            request.method = requestLine.value(0);
            request.target = requestLine.value(1);
            qsizetype contentLength = 0;
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines.at(i).trimmed();
                const qsizetype colon = line.indexOf(':');
                if (colon <= 0)
                    continue;
                request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
                if (line.left(colon).compare("content-length", Qt::CaseInsensitive) == 0)
                    contentLength = line.mid(colon + 1).trimmed().toLongLong();
            }
            if (buffer.size() < headerEnd + 4 + contentLength)
                return;
            request.body = buffer.mid(headerEnd + 4, contentLength);
            request.connection = m_connectionNumbers.value(socket);
            buffer.remove(0, headerEnd + 4 + contentLength);
            m_owner->record(request);
            answer(socket, request, m_owner->nextReply());
        }
    }

    static void answer(QTcpSocket *socket, const Request &request, const Reply &reply)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Canned\r\n";
        bool hasLength = false;
        for (const auto &header : reply.headers) {
            head += header.first + ": " + header.second + "\r\n";
            hasLength |= header.first.compare("content-length", Qt::CaseInsensitive) == 0;
        }
        if (!hasLength)
            head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        head += "\r\n";
        socket->write(head);
        if (request.method != "HEAD")
            socket->write(reply.body);
    }

    RecordingServer *m_owner;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QHash<QTcpSocket *, int> m_connectionNumbers;
    int m_connections = 0;
};

QByteArray RecordingServer::Request::header(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

QByteArray RecordingServer::Request::path() const
{
    const qsizetype question = target.indexOf('?');
    return question < 0 ? target : target.left(question);
}

QByteArray RecordingServer::Request::query() const
{
    const qsizetype question = target.indexOf('?');
    return question < 0 ? QByteArray() : target.mid(question + 1);
}

RecordingServer::RecordingServer()
{
    m_worker = new Worker(this);
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_worker, [this] { m_port = m_worker->listen(); }, Qt::BlockingQueuedConnection);
}

RecordingServer::~RecordingServer()
{
    m_thread.quit();
    m_thread.wait();
}

QString RecordingServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void RecordingServer::addReply(const Reply &reply)
{
    const QMutexLocker lock(&m_mutex);
    m_replies.append(reply);
}

void RecordingServer::addReply(int status, const QByteArray &body, const Headers &headers)
{
    addReply(Reply{status, headers, body});
}

QList<RecordingServer::Request> RecordingServer::requests() const
{
    const QMutexLocker lock(&m_mutex);
    return m_requests;
}

void RecordingServer::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_requests.clear();
    m_replies.clear();
}

RecordingServer::Reply RecordingServer::nextReply()
{
    const QMutexLocker lock(&m_mutex);
    return m_replies.isEmpty() ? Reply{} : m_replies.takeFirst();
}

void RecordingServer::record(const Request &request)
{
    const QMutexLocker lock(&m_mutex);
    m_requests.append(request);
}

#include "RecordingServer.moc"
