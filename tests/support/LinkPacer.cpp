#include "LinkPacer.h"

#include "LoopbackServer.h"

#include <algorithm>
#include <utility>

void LinkPacer::setRate(qint64 bytesPerSecond)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_rate = bytesPerSecond;
}

void LinkPacer::setDelay(std::chrono::microseconds oneWay)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_delay = oneWay;
}

std::chrono::microseconds LinkPacer::delay() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_delay;
}

LinkPacer::Clock::time_point LinkPacer::carry(qint64 bytes)
{
    const auto now = Clock::now();
    Clock::time_point passed;
    std::chrono::microseconds delay;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        delay = m_delay;
        if (m_rate <= 0)
            return now + delay;
        // A block starts when the one before it has passed, but at most a few milliseconds
        // before it is handed over: a sleep that overran is made up by the next blocks, while
        // an idle link saves up no more than a small burst.
        m_free = std::max(m_free, now - std::chrono::milliseconds(2)) +
                 std::chrono::nanoseconds(bytes * 1000000000 / m_rate);
        passed = m_free;
    }
    std::this_thread::sleep_until(passed);
    // A block that makes up for an overrun sleep still takes the whole delay.
    return std::max(passed, now) + delay;
}

DelayLine::DelayLine(LinkPacer &link, int fd, qint64 window)
    : m_link(link), m_fd(fd), m_window(window)
{
}

DelayLine::~DelayLine()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

bool DelayLine::send(QByteArray data)
{
    if (!waitForWindow(data.size()))
        return false;
    const auto due = m_link.carry(data.size());
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (due > LinkPacer::Clock::now() || !m_blocks.empty() || m_writing) {
            m_blocks.push_back({due, std::move(data)});
            if (!m_writer.joinable())
                m_writer = std::thread([this] { deliver(); });
            m_changed.notify_all();
            return true;
        }
        m_onTheirWay -= data.size();
    }
    return sendAll(m_fd, data);
}

bool DelayLine::waitForWindow(qint64 bytes)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        const auto now = LinkPacer::Clock::now();
        while (!m_unacknowledged.empty() && m_unacknowledged.front().until <= now) {
            m_onTheirWay -= m_unacknowledged.front().bytes;
            m_unacknowledged.pop_front();
        }
        if (m_failed)
            return false;
        // A block larger than the window goes alone.
        if (m_onTheirWay == 0 || m_onTheirWay + bytes <= m_window) {
            m_onTheirWay += bytes;
            return true;
        }
        if (m_unacknowledged.empty())
            m_changed.wait(lock);
        else
            m_changed.wait_until(lock, m_unacknowledged.front().until);
    }
}

void DelayLine::deliver()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_blocks.empty()) {
            if (m_ending || m_failed)
                return;
            m_changed.wait(lock);
            continue;
        }
        const auto due = m_blocks.front().due;
        if (LinkPacer::Clock::now() < due) {
            m_changed.wait_until(lock, due);
            continue;
        }
        const QByteArray data = std::move(m_blocks.front().data);
        m_blocks.pop_front();
        m_writing = true;
        lock.unlock();
        const bool sent = sendAll(m_fd, data);
        lock.lock();
        m_writing = false;
        if (!sent) {
            m_failed = true;
            m_blocks.clear();
        } else {
            // Acknowledged one delay after it was taken, which a slow reader puts off.
            m_unacknowledged.push_back(
                {std::max(due, LinkPacer::Clock::now()) + m_link.delay(), data.size()});
        }
        m_changed.notify_all();
    }
}
