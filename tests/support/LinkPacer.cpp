#include "LinkPacer.h"

#include <algorithm>
#include <thread>

void LinkPacer::setRate(qint64 bytesPerSecond)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_rate = bytesPerSecond;
}

void LinkPacer::carry(qint64 bytes)
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
