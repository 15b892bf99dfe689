#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// What the peers here that speak HTTP/1.1 over plain sockets share: a listener on 127.0.0.1 that
// serves every connection on a thread of its own, so that a peer answers while the test's thread
// blocks in a library call, and buffered blocking reads and writes.

// Accepts connections until destroyed; `serve` is called with each connection's socket, which is
// closed when it returns. The destructor shuts every socket down and waits for the threads, so a
// peer declares its server as its last member.
class LoopbackServer
{
public:
    using Serve = std::function<void(int fd)>;
    explicit LoopbackServer(Serve serve);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    bool start();
    QString url() const;
    // A socket of the peer's own (a connection onward) that the destructor shuts down too, until
    // it is closed here.
    void track(int fd);
    void close(int fd);

private:
    void acceptConnections();

    Serve m_serve;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::vector<int> m_sockets;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};

bool sendAll(int fd, const char *data, qint64 size);
bool sendAll(int fd, const QByteArray &data);

// The value of a header in an HTTP message head, or empty.
QByteArray headerValue(const QByteArray &head, const QByteArray &name);

// Reads one HTTP message part after the other from a socket, buffered.
class SocketReader
{
public:
    explicit SocketReader(int fd) : m_fd(fd) {}

    // Up to and including `end`; empty when the stream ends first.
    QByteArray until(const QByteArray &end);
    // Hands `size` bytes to `sink` in blocks as they come; false when the stream ends first or
    // the sink refuses.
    bool copy(qint64 size, const std::function<bool(QByteArray &)> &sink);
    bool copyToEnd(const std::function<bool(QByteArray &)> &sink);

private:
    bool fill();

    int m_fd;
    QByteArray m_buffer;
};
