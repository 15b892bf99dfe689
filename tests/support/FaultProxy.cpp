#include "FaultProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <thread>

namespace {

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

// Reads one HTTP message part after the other from a socket, buffered.
class Reader
{
public:
    explicit Reader(int fd) : m_fd(fd) {}

    // Up to and including `end`; empty when the stream ends first.
    QByteArray until(const QByteArray &end)
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

    // Hands `size` bytes to `sink` in blocks as they come; false when the stream ends first or
    // the sink refuses.
    bool copy(qint64 size, const std::function<bool(QByteArray &)> &sink)
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

    bool copyToEnd(const std::function<bool(QByteArray &)> &sink)
    {
        do {
            QByteArray block = std::exchange(m_buffer, {});
            if (!block.isEmpty() && !sink(block))
                return false;
        } while (fill());
        return true;
    }

private:
    bool fill()
    {
        char block[64 * 1024];
        const ssize_t received = ::recv(m_fd, block, sizeof block, 0);
        if (received <= 0)
            return false;
        m_buffer.append(block, received);
        return true;
    }

    int m_fd;
    QByteArray m_buffer;
};

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

using Sender = std::function<bool(const QByteArray &)>;

// Copies a message body framed by `head` from `in` to `send`. `flip` changes the body's middle
// byte (of the first chunk when chunked).
bool relayBody(const QByteArray &head, bool hasBody, Reader &in, const Sender &send, bool flip)
{
    if (!hasBody)
        return true;
    qint64 flipAt = -1;
    const auto forward = [&](QByteArray &block) {
        if (flipAt >= 0 && flipAt < block.size()) {
            block[flipAt] = static_cast<char>(block.at(flipAt) ^ 0x20);
            flipAt = -1;
        } else if (flipAt >= 0) {
            flipAt -= block.size();
        }
        return send(block);
    };
    if (headerValue(head, "Transfer-Encoding").toLower().contains("chunked")) {
        for (;;) {
            const QByteArray sizeLine = in.until("\r\n");
            bool ok = false;
            const qint64 size = sizeLine.trimmed().split(';').first().toLongLong(&ok, 16);
            if (!ok || !send(sizeLine))
                return false;
            if (size == 0)
                return send(in.until("\r\n"));
            if (flip) {
                flipAt = size / 2;
                flip = false;
            }
            if (!in.copy(size, forward) || !send(in.until("\r\n")))
                return false;
        }
    }
    const QByteArray length = headerValue(head, "Content-Length");
    if (length.isEmpty())
        return in.copyToEnd(forward);
    const qint64 size = length.toLongLong();
    flipAt = flip && size > 0 ? size / 2 : -1;
    return in.copy(size, forward);
}

int statusOf(const QByteArray &head)
{
    const QList<QByteArray> words = head.left(head.indexOf('\r')).split(' ');
    return words.size() > 1 ? words.at(1).toInt() : 0;
}

} // namespace

FaultProxy::FaultProxy(quint16 targetPort) : m_targetPort(targetPort) {}

FaultProxy::~FaultProxy()
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

bool FaultProxy::start()
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

QString FaultProxy::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void FaultProxy::spoil(const QByteArray &method, int occurrence, Fault fault)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_spoilt.append({method, m_methodCounts.value(method) + occurrence, fault});
}

void FaultProxy::spoilEvery(int period, Fault fault)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_period = period;
    m_periodic = fault;
}

QList<QByteArray> FaultProxy::requestLines() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requestLines;
}

void FaultProxy::limitRate(qint64 bytesPerSecond)
{
    m_toServer.setRate(bytesPerSecond);
    m_toClient.setRate(bytesPerSecond);
}

void FaultProxy::Link::setRate(qint64 bytesPerSecond)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_rate = bytesPerSecond;
}

void FaultProxy::Link::carry(qint64 bytes)
{
    std::chrono::steady_clock::time_point arrival;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_rate <= 0)
            return;
        // A block starts when the one before it has passed, but at most a few milliseconds
        // before it is handed over: a sleep that overran is made up by the next blocks, while
        // an idle link saves up no more than a small burst.
        const auto now = std::chrono::steady_clock::now();
        m_free = std::max(m_free, now - std::chrono::milliseconds(2)) +
                 std::chrono::nanoseconds(bytes * 1000000000 / m_rate);
        arrival = m_free;
    }
    std::this_thread::sleep_until(arrival);
}

bool FaultProxy::send(Link &link, int fd, const QByteArray &data)
{
    link.carry(data.size());
    return sendAll(fd, data);
}

void FaultProxy::acceptConnections()
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
        m_threads.emplace_back([this, client] { serve(client); });
    }
}

void FaultProxy::track(int fd)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_sockets.push_back(fd);
}

FaultProxy::Fault FaultProxy::faultFor(const QByteArray &method)
{
    const int occurrence = ++m_methodCounts[method];
    for (const Spoilt &spoilt : std::as_const(m_spoilt)) {
        if (spoilt.method == method && spoilt.occurrence == occurrence)
            return spoilt.fault;
    }
    const int request = int(m_requestLines.size());
    return m_period > 0 && request % m_period == 0 ? m_periodic : Fault::None;
}

void FaultProxy::serve(int client)
{
    const int upstream = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(m_targetPort);
    track(upstream);
    if (::connect(upstream, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        Reader fromClient(client);
        Reader fromServer(upstream);
        // Clients send the next request only after the reply to the last one.
        for (;;) {
            const QByteArray head = fromClient.until("\r\n\r\n");
            if (head.isEmpty())
                break;
            const QByteArray requestLine = head.left(head.indexOf(" HTTP/"));
            Fault fault;
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_requestLines.append(requestLine);
                fault = faultFor(requestLine.left(requestLine.indexOf(' ')));
            }
            const qint64 bodySize = headerValue(head, "Content-Length").toLongLong();
            if (fault == Fault::Reset) {
                const linger resetOnClose{1, 0};
                ::setsockopt(client, SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
                break;
            }
            if (fault == Fault::ServiceUnavailable) {
                const QByteArray body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>"
                                        "ServiceUnavailable</Code><Message>Please reduce your "
                                        "request rate.</Message></Error>";
                fromClient.copy(bodySize, [](QByteArray &) { return true; });
                sendAll(client, "HTTP/1.1 503 Service Unavailable\r\nContent-Type: "
                                "application/xml\r\nConnection: close\r\nContent-Length: " +
                                    QByteArray::number(body.size()) + "\r\n\r\n" + body);
                break;
            }
            const auto toServer = [this, upstream](QByteArray &block) {
                return send(m_toServer, upstream, block);
            };
            const Sender toClient = [this, client](const QByteArray &block) {
                return send(m_toClient, client, block);
            };
            if (!send(m_toServer, upstream, head) || !fromClient.copy(bodySize, toServer))
                break;
            const QByteArray replyHead = fromServer.until("\r\n\r\n");
            const int status = statusOf(replyHead);
            const bool hasBody =
                !requestLine.startsWith("HEAD ") && status != 204 && status != 304 && status >= 200;
            if (replyHead.isEmpty() || !toClient(replyHead) ||
                !relayBody(replyHead, hasBody, fromServer, toClient, fault == Fault::FlipByte))
                break;
        }
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const int fd : {client, upstream}) {
        m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), fd), m_sockets.end());
        ::close(fd);
    }
}
