#pragma once

#include "S3Client.h"

#include <QList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Brenn_AWS::aws {

// Requests of one transfer that run side by side, each on a thread and a connection of its own,
// so that a link with a long round trip stays busy while earlier requests wait for their answers.
// One thread starts and collects the requests; a lane touches only its own client and the work it
// was given, and the caller reads what a request left behind once it was collected.
class RequestLanes
{
public:
    using Request = std::function<void(S3Client &)>;

    RequestLanes() = default;
    ~RequestLanes();
    RequestLanes(const RequestLanes &) = delete;
    RequestLanes &operator=(const RequestLanes &) = delete;

    // Runs `request` on an idle lane, a new one when none is idle, with a client for the
    // endpoint, credentials and transport options of `like`. `ticket` names it in collect().
    void start(quint64 ticket, const S3Client &like, Request request);
    // Started and not yet collected.
    int running() const { return m_running; }
    // The tickets of the requests finished since the last call. When none has finished but some
    // run, waits for the first, at most `waitMs` (-1: as long as it takes).
    QList<quint64> collect(qint64 waitMs);
    // Ends the running requests at once and forgets every uncollected one.
    void cancel();

private:
    struct Lane
    {
        std::thread thread;
        std::unique_ptr<S3Client> client;
        Request request; // set while the lane has work
        quint64 ticket = 0;
        std::atomic<bool> cancelled{false};
    };
    void serve(Lane &lane);

    std::mutex m_mutex;
    std::condition_variable m_wake; // work for a lane, or the end
    std::condition_variable m_done; // a request finished
    std::vector<std::unique_ptr<Lane>> m_lanes;
    QList<quint64> m_finished;
    int m_running = 0;
    bool m_stopping = false;
};

} // namespace Brenn_AWS::aws
