#include "ZeltRequestPool.h"

#include "ZeltHttpRequestWorker.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

#include <algorithm>

namespace Zelt_Common_API {

namespace {
ZeltRequestTimeouts configuredTimeouts;
} // namespace

ZeltRequestPool::ZeltRequestPool(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
}

ZeltRequestPool &ZeltRequestPool::instance()
{
    // Owned by the application, so the manager goes down before Qt's network stack does.
    static QPointer<ZeltRequestPool> pool;
    if (!pool)
        pool = new ZeltRequestPool(QCoreApplication::instance());
    return *pool;
}

void ZeltRequestPool::setTimeouts(const ZeltRequestTimeouts &timeouts)
{
    configuredTimeouts = timeouts;
}

ZeltRequestTimeouts ZeltRequestPool::timeouts()
{
    return configuredTimeouts;
}

void ZeltRequestPool::submit(ZeltHttpRequestWorker *worker)
{
    m_waiting.emplace_back(worker);
    startWaiting();
}

void ZeltRequestPool::release(ZeltHttpRequestWorker *worker)
{
    if (m_inFlight.remove(worker))
        startWaiting();
}

int ZeltRequestPool::waiting() const
{
    return int(std::count_if(m_waiting.cbegin(), m_waiting.cend(),
                             [](const QPointer<ZeltHttpRequestWorker> &w) { return !w.isNull(); }));
}

void ZeltRequestPool::startWaiting()
{
    while (m_inFlight.size() < MaxInFlight && !m_waiting.empty()) {
        ZeltHttpRequestWorker *worker = m_waiting.front();
        m_waiting.pop_front();
        // A worker deleted while it waited has nothing to send.
        if (!worker)
            continue;
        m_inFlight.insert(worker);
        worker->dispatch();
    }
}

} // namespace Zelt_Common_API
