#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

LoopbackServer::LoopbackServer(Serve serve) : m_serve(std::move(serve)) {}

LoopbackServer::~LoopbackServer()
{
    m_stopping = true;
    if (m_listener >= 0)
        ::shutdown(m_listener, SHUT_RDWR);
    if (m_acceptor.joinable())
        m_acceptor.join();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (const int fd : m_sockets)
            ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread &thread : m_threads)
        thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

bool LoopbackServer::start()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptConnections(); });
    return true;
}

QString LoopbackServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void LoopbackServer::track(int fd)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_sockets.push_back(fd);
}

void LoopbackServer::close(int fd)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), fd), m_sockets.end());
    ::close(fd);
}

void LoopbackServer::acceptConnections()
{
    for (;;) {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0 || m_stopping) {
            if (client >= 0)
                ::close(client);
            return;
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_sockets.push_back(client);
        m_threads.emplace_back([this, client] {
            m_serve(client);
            close(client);
        });
    }
}

bool sendAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
    }
    return true;
}

bool sendAll(int fd, const QByteArray &data)
{
    return sendAll(fd, data.constData(), data.size());
}

QByteArray headerValue(const QByteArray &head, const QByteArray &name)
{
    const QList<QByteArray> lines = head.split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QByteArray SocketReader::until(const QByteArray &end)
{
    qsizetype found;
    while ((found = m_buffer.indexOf(end)) < 0) {
        if (!fill())
            return {};
    }
    const QByteArray part = m_buffer.left(found + end.size());
    m_buffer.remove(0, part.size());
    return part;
}

bool SocketReader::copy(qint64 size, const std::function<bool(QByteArray &)> &sink)
{
    while (size > 0) {
        if (m_buffer.isEmpty() && !fill())
            return false;
        QByteArray block = m_buffer.left(qMin<qint64>(size, m_buffer.size()));
        m_buffer.remove(0, block.size());
        size -= block.size();
        if (!sink(block))
            return false;
    }
    return true;
}

bool SocketReader::copyToEnd(const std::function<bool(QByteArray &)> &sink)
{
    do {
        QByteArray block = std::exchange(m_buffer, {});
        if (!block.isEmpty() && !sink(block))
            return false;
    } while (fill());
    return true;
}

bool SocketReader::fill()
{
    char block[64 * 1024];
    const ssize_t received = ::recv(m_fd, block, sizeof block, 0);
    if (received <= 0)
        return false;
    m_buffer.append(block, received);
    return true;
}
