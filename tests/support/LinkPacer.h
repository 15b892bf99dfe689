#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// One direction of a network link: it carries each block in the time a link of the set rate
// takes, and delivers it a one-way delay later. Every connection through the same pacer shares
// the link.
class LinkPacer
{
public:
    using Clock = std::chrono::steady_clock;

    // Bytes a second; 0 carries everything at once.
    void setRate(qint64 bytesPerSecond);
    void setDelay(std::chrono::microseconds oneWay);
    std::chrono::microseconds delay() const;
    // Holds the caller until the block has passed the link's rate; returns when it reaches the
    // far end.
    Clock::time_point carry(qint64 bytes);

private:
    mutable std::mutex m_mutex;
    qint64 m_rate = 0;
    std::chrono::microseconds m_delay{0};
    Clock::time_point m_free;
};

// What one connection sends in one direction through a LinkPacer, written to its socket when it
// reaches the far end. A thread of its own writes the blocks, so the delay holds the data back
// without slowing the sender down. Like a TCP window, at most `window` bytes are on their way
// at once: a block counts until its acknowledgement would be back, one more delay after it was
// delivered. Without a delay the sender writes itself.
class DelayLine
{
public:
    // Linux's largest receive window by default: enough for 1 Gbit/s over a 40 ms round trip.
    static constexpr qint64 defaultWindow = 6 * 1024 * 1024;

    DelayLine(LinkPacer &link, int fd, qint64 window = defaultWindow);
    // Delivers what is on its way first.
    ~DelayLine();
    DelayLine(const DelayLine &) = delete;
    DelayLine &operator=(const DelayLine &) = delete;

    // False once writing to the socket failed.
    bool send(QByteArray data);

private:
    struct Block
    {
        LinkPacer::Clock::time_point due;
        QByteArray data;
    };
    struct Unacknowledged
    {
        LinkPacer::Clock::time_point until;
        qint64 bytes;
    };
    bool waitForWindow(qint64 bytes);
    void deliver();

    LinkPacer &m_link;
    const int m_fd;
    const qint64 m_window;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Block> m_blocks;
    std::deque<Unacknowledged> m_unacknowledged;
    qint64 m_onTheirWay = 0; // queued or unacknowledged
    bool m_writing = false;  // a block is being written outside the lock
    bool m_failed = false;
    bool m_ending = false;
    std::thread m_writer;
};
