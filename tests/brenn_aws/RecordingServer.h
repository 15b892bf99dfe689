#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QThread>

#include <memory>

class QTcpServer;

// An HTTP/1.1 peer on 127.0.0.1 for the protocol tests: it records every request exactly as it
// arrived and answers with canned replies, one per request in order (an empty 200 once they run
// out). It runs on a thread of its own because the library's calls block the test's thread.
class RecordingServer
{
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query as sent
        Headers headers;
        QByteArray body;
        int connection = 0; // which connection carried it, counted from 1

        QByteArray header(const QByteArray &name) const; // case-insensitive; null when absent
        QByteArray path() const;
        QByteArray query() const;
    };

    struct Reply
    {
        int status = 200;
        Headers headers;
        QByteArray body;
    };

    RecordingServer();
    ~RecordingServer();

    quint16 port() const { return m_port; }
    QString url() const; // "http://127.0.0.1:<port>"

    void addReply(const Reply &reply);
    void addReply(int status, const QByteArray &body = {}, const Headers &headers = {});
    QList<Request> requests() const;
    void clear();

private:
    class Worker;
    friend class Worker;

    Reply nextReply();
    void record(const Request &request);

    mutable QMutex m_mutex;
    QList<Reply> m_replies;
    QList<Request> m_requests;
    QThread m_thread;
    Worker *m_worker = nullptr;
    quint16 m_port = 0;
};
