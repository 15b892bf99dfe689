#pragma once

#include "LinkPacer.h"
#include "LoopbackServer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <chrono>
#include <mutex>

// A TCP proxy on 127.0.0.1 in front of an HTTP/1.1 server that spoils chosen requests: it resets
// the connection, answers 503 itself, flips one byte in the middle of the reply's body, or holds
// the request unanswered. It can also act as a network link of a given rate and round trip. Every
// connection is served by threads of its own, so the proxy works while the test's thread blocks in
// a library call.
class FaultProxy
{
public:
    enum class Fault
    {
        None,
        Reset,              // the connection is reset once the request's head has arrived
        ServiceUnavailable, // 503 "ServiceUnavailable", the request never reaches the server
        FlipByte,           // the reply's middle body byte is changed on the way
        Hold,               // never answered nor passed on; the connection stays open
    };

    explicit FaultProxy(quint16 targetPort);
    FaultProxy(const FaultProxy &) = delete;
    FaultProxy &operator=(const FaultProxy &) = delete;

    bool start();
    QString url() const;

    // The `occurrence`-th request with this method from now on (1: the next) meets the fault.
    void spoil(const QByteArray &method, int occurrence, Fault fault);
    // From now on every `period`-th request meets the fault (0: none).
    void spoilEvery(int period, Fault fault);
    // "METHOD target" of every request so far, spoilt ones included.
    QList<QByteArray> requestLines() const;
    // From now on each direction carries at most this many bytes a second, shared by all
    // connections, as a network link of that speed would (0: as fast as loopback).
    void limitRate(qint64 bytesPerSecond);
    // From now on every byte takes half this time to the server and half back, as over a link
    // with this round trip: a new connection's handshake costs one, and each connection has a
    // TCP window of DelayLine::defaultWindow.
    void setRoundTrip(std::chrono::microseconds roundTrip);

private:
    struct Spoilt
    {
        QByteArray method;
        int occurrence; // counted over all connections since the start
        Fault fault;
    };
    void serve(int client);
    Fault faultFor(const QByteArray &method);

    quint16 m_targetPort;
    mutable std::mutex m_mutex;
    QList<Spoilt> m_spoilt;
    int m_period = 0;
    Fault m_periodic = Fault::None;
    QList<QByteArray> m_requestLines;
    QHash<QByteArray, int> m_methodCounts;
    LinkPacer m_toServer;
    LinkPacer m_toClient;
    LoopbackServer m_server; // last: its threads use the members above
};
