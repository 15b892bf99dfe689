#pragma once

#include <QtGlobal>

#include <chrono>
#include <mutex>

// Holds each block back for the time a network link of the set rate would take to carry it;
// every thread that sends through the same pacer shares the link.
class LinkPacer
{
public:
    // Bytes a second; 0 carries everything at once.
    void setRate(qint64 bytesPerSecond);
    void carry(qint64 bytes);

private:
    std::mutex m_mutex;
    qint64 m_rate = 0;
    std::chrono::steady_clock::time_point m_free;
};
