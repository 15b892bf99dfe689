#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

#include <deque>

class QNetworkAccessManager;

namespace Zelt_Common_API {

class ZeltHttpRequestWorker;

// How long a request may wait for its connection, and for the next bytes of its reply.
struct ZeltRequestTimeouts
{
    int connectMs = 10000;
    int replyMs = 30000;
};

// The one network manager behind every REST request of the console, and the limit on how many
// of those requests are on the wire at once: a burst (an import, Export All) waits here in
// order instead of opening a connection per request. Lives on the GUI thread.
class ZeltRequestPool : public QObject
{
    Q_OBJECT

public:
    // As many as Qt opens to one host; more would only wait inside the manager.
    static constexpr int MaxInFlight = 6;

    static ZeltRequestPool &instance();
    // Applies to requests started afterwards.
    static void setTimeouts(const ZeltRequestTimeouts &timeouts);
    static ZeltRequestTimeouts timeouts();

    QNetworkAccessManager *manager() const { return m_manager; }
    // Sends the worker's request now, or once a place is free.
    void submit(ZeltHttpRequestWorker *worker);
    // The worker's request ended or was dropped; its place goes to the next one waiting.
    void release(ZeltHttpRequestWorker *worker);

    int inFlight() const { return int(m_inFlight.size()); }
    int waiting() const;

private:
    explicit ZeltRequestPool(QObject *parent);
    void startWaiting();

    QNetworkAccessManager *m_manager;
    QSet<ZeltHttpRequestWorker *> m_inFlight;
    std::deque<QPointer<ZeltHttpRequestWorker>> m_waiting;
};

} // namespace Zelt_Common_API
