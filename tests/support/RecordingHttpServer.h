#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTcpSocket>

#include <functional>
#include <memory>

class QTcpServer;
class QThread;

// An HTTP/1.1 peer on 127.0.0.1 for client tests. It listens from construction, records every
// request exactly as it arrived and answers each with the reply the test scripted for it.
//
//     RecordingHttpServer server;
//     server.setReply(RecordingHttpServer::Reply::json(R"({"a":1})"));
//     ... send a request to server.url() + "/path" ...
//     QTRY_COMPARE(server.requests().size(), 1);
//     QCOMPARE(server.requests().first().requestLine(), "GET /path HTTP/1.1");
//
// Code that blocks the test's thread while it waits for the answer needs OnOwnThread.
// Request bodies are read by Content-Length (chunked request bodies are not supported).
class RecordingHttpServer : public QObject
{
    Q_OBJECT

public:
    using HeaderList = QList<QPair<QByteArray, QByteArray>>;

    enum Threading
    {
        OnCallerThread, // the sockets run on the thread that made the server
        OnOwnThread,    // handlers then run on that thread too
    };

    struct Request
    {
        QByteArray raw;     // every byte of the request, head and body
        QByteArray method;  // from the request line
        QByteArray target;  // path and query, exactly as sent
        HeaderList headers; // in the order and spelling received
        QByteArray body;
        int connection = 0; // which connection carried it, counted from 1

        QByteArray requestLine() const;
        // The first value of the header, name compared case-insensitively; null when absent.
        QByteArray header(const QByteArray &name) const;
        bool hasHeader(const QByteArray &name) const;
        QByteArray path() const;
        QByteArray query() const; // without the '?'
    };

    struct Reply
    {
        int status = 200;
        QByteArray reason;  // empty: the usual phrase of the status
        HeaderList headers; // sent as given; Content-Length is added unless given
        QByteArray body;    // never sent to a HEAD request
        int delayMs = 0;    // answer after this long
        bool answer = true; // false: hold the request unanswered (see answerHeld)

        // A reply with Content-Type application/json.
        static Reply json(const QByteArray &body, int status = 200);
        // A reply with Content-Type text/plain.
        static Reply text(const QByteArray &body, int status = 200);
    };

    using Handler = std::function<Reply(const Request &)>;

    explicit RecordingHttpServer(Threading threading = OnCallerThread, QObject *parent = nullptr);
    ~RecordingHttpServer() override;

    // Whether it listens on a free port of 127.0.0.1; tries again if that failed before.
    bool listen();
    quint16 port() const;
    // "http://127.0.0.1:<port>"
    QString url() const;

    // Every request gets this reply (the default is 200 with an empty body and no headers).
    void setReply(const Reply &reply);
    // Chooses each reply from its request.
    void setHandler(const Handler &handler);
    // Queued replies answer the next requests in order, before the reply or handler above.
    void addReply(const Reply &reply);
    void addReply(int status, const QByteArray &body = {}, const HeaderList &headers = {});

    QList<Request> requests() const;
    // Forgets the requests and the queued replies.
    void clear();
    // Answers every request held so far (and still connected) with this reply.
    void answerHeld(const Reply &reply);

signals:
    void requestReceived(); // emitted on the sockets' thread

private:
    void onSocketsThread(const std::function<void()> &work);
    void accept();
    void serve(QTcpSocket *socket);
    Reply record(const Request &request);
    static void respond(QTcpSocket *socket, const QByteArray &method, const Reply &reply);

    std::unique_ptr<QThread> m_thread; // null: the caller's thread
    QTcpServer *m_server;              // lives on the sockets' thread, parent of the sockets
    quint16 m_port = 0;

    // Used on the sockets' thread only.
    int m_connections = 0;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> m_held; // with the method of the request

    mutable QMutex m_mutex; // guards the rest
    Handler m_handler;
    QList<Reply> m_queue;
    QList<Request> m_requests;
};
