#include "FaultProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <functional>
#include <thread>
#include <utility>

namespace {

using Sender = std::function<bool(const QByteArray &)>;

// Copies a message body framed by `head` from `in` to `send`. `flip` changes the body's middle
// byte (of the first chunk when chunked).
bool relayBody(const QByteArray &head, bool hasBody, SocketReader &in, const Sender &send,
               bool flip)
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

FaultProxy::FaultProxy(quint16 targetPort)
    : m_targetPort(targetPort), m_server([this](int client) { serve(client); })
{
}

bool FaultProxy::start()
{
    return m_server.start();
}

QString FaultProxy::url() const
{
    return m_server.url();
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

void FaultProxy::setRoundTrip(std::chrono::microseconds roundTrip)
{
    m_toServer.setDelay(roundTrip / 2);
    m_toClient.setDelay(roundTrip - roundTrip / 2);
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
    m_server.track(upstream);
    // A head and its body go out in separate writes: without this, Nagle's algorithm would hold
    // the body back until the peer's delayed acknowledgement of the head.
    const int noDelay = 1;
    ::setsockopt(upstream, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    if (::connect(upstream, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        SocketReader fromClient(client);
        SocketReader fromServer(upstream);
        // Before the sockets close: what is still on its way is delivered first.
        DelayLine serverLine(m_toServer, upstream);
        DelayLine clientLine(m_toClient, client);
        // A new connection's first request waits for the TCP handshake's round trip.
        std::this_thread::sleep_for(m_toServer.delay() + m_toClient.delay());
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
            if (fault == Fault::Hold) {
                // Until the client (or the proxy's end) closes the connection.
                fromClient.copyToEnd([](QByteArray &) { return true; });
                break;
            }
            if (fault == Fault::ServiceUnavailable) {
                const QByteArray body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>"
                                        "ServiceUnavailable</Code><Message>Please reduce your "
                                        "request rate.</Message></Error>";
                fromClient.copy(bodySize, [](QByteArray &) { return true; });
                clientLine.send("HTTP/1.1 503 Service Unavailable\r\nContent-Type: "
                                "application/xml\r\nConnection: close\r\nContent-Length: " +
                                QByteArray::number(body.size()) + "\r\n\r\n" + body);
                break;
            }
            const auto toServer = [&](QByteArray &block) { return serverLine.send(block); };
            const Sender toClient = [&](const QByteArray &block) { return clientLine.send(block); };
            if (!serverLine.send(head))
                break;
            // With "Expect: 100-continue" the server answers the head first; anything but 100 is
            // its final answer, and the connection ends after it.
            QByteArray replyHead;
            bool bodyWanted = true;
            if (headerValue(head, "Expect").toLower() == "100-continue") {
                replyHead = fromServer.until("\r\n\r\n");
                bodyWanted = statusOf(replyHead) == 100;
                if (bodyWanted && !toClient(std::exchange(replyHead, {})))
                    break;
            }
            if (bodyWanted && !fromClient.copy(bodySize, toServer))
                break;
            if (replyHead.isEmpty())
                replyHead = fromServer.until("\r\n\r\n");
            const int status = statusOf(replyHead);
            const bool hasBody =
                !requestLine.startsWith("HEAD ") && status != 204 && status != 304 && status >= 200;
            if (replyHead.isEmpty() || !toClient(replyHead) ||
                !relayBody(replyHead, hasBody, fromServer, toClient, fault == Fault::FlipByte) ||
                !bodyWanted)
                break;
        }
    }
    m_server.close(upstream);
}
