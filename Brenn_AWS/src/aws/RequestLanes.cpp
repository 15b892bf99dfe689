#include "RequestLanes.h"

#include <algorithm>

namespace Brenn_AWS::aws {

RequestLanes::~RequestLanes()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        for (const auto &lane : m_lanes)
            lane->cancelled = true;
    }
    m_wake.notify_all();
    for (const auto &lane : m_lanes)
        lane->thread.join();
}

void RequestLanes::start(quint64 ticket, const S3Client &like, Request request)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto idle = std::find_if(m_lanes.begin(), m_lanes.end(),
                             [](const auto &lane) { return !lane->request; });
    Lane *lane = nullptr;
    if (idle != m_lanes.end()) {
        lane = idle->get();
    } else {
        m_lanes.push_back(std::make_unique<Lane>());
        lane = m_lanes.back().get();
    }
    const bool sameService = lane->client && lane->client->endpoint() == like.endpoint() &&
                             lane->client->transportOptions() == like.transportOptions();
    if (sameService) {
        // The lane's open connection is kept; renewed credentials sign from this request on.
        lane->client->setCredentials(like.credentials());
    } else {
        TransportOptions options = like.transportOptions();
        options.cancel = &lane->cancelled;
        lane->client = std::make_unique<S3Client>(like.endpoint(), like.credentials(), options);
    }
    lane->cancelled = false;
    lane->ticket = ticket;
    lane->request = std::move(request);
    ++m_running;
    if (!lane->thread.joinable())
        lane->thread = std::thread([this, lane] { serve(*lane); });
    lock.unlock();
    m_wake.notify_all();
}

void RequestLanes::serve(Lane &lane)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || lane.request; });
        if (m_stopping)
            return;
        Request request = lane.request;
        lock.unlock();
        request(*lane.client);
        lock.lock();
        lane.request = nullptr;
        m_finished.append(lane.ticket);
        m_done.notify_all();
    }
}

QList<quint64> RequestLanes::collect(qint64 waitMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto anyFinished = [this] { return !m_finished.isEmpty(); };
    if (m_running > 0 && waitMs < 0)
        m_done.wait(lock, anyFinished);
    else if (m_running > 0)
        m_done.wait_for(lock, std::chrono::milliseconds(waitMs), anyFinished);
    const QList<quint64> finished = std::exchange(m_finished, {});
    m_running -= static_cast<int>(finished.size());
    return finished;
}

void RequestLanes::cancel()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (const auto &lane : m_lanes) {
        if (lane->request)
            lane->cancelled = true;
    }
    m_done.wait(lock, [this] {
        return std::none_of(m_lanes.begin(), m_lanes.end(),
                            [](const auto &lane) { return bool(lane->request); });
    });
    m_finished.clear();
    m_running = 0;
}

} // namespace Brenn_AWS::aws
