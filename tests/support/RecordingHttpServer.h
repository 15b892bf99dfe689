#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTcpSocket>

#include <functional>

class QTcpServer;

// An HTTP/1.1 peer on 127.0.0.1 for client tests. It records every request exactly as it
// arrived and answers each with the reply the test scripted for it.
//
//     RecordingHttpServer server;
//     QVERIFY(server.listen());
//     server.setReply(RecordingHttpServer::Reply::json(R"({"a":1})"));
//     ... send a request to server.url() + "/path" ...
//     QTRY_COMPARE(server.requests().size(), 1);
//     QCOMPARE(server.requests().first().requestLine(), "GET /path HTTP/1.1");
//
// Request bodies are read by Content-Length (chunked request bodies are not supported).
class RecordingHttpServer : public QObject
{
    Q_OBJECT

public:
    using HeaderList = QList<QPair<QByteArray, QByteArray>>;

    struct Request
    {
        QByteArray raw;     // every byte of the request, head and body
        QByteArray method;  // from the request line
        QByteArray target;  // path and query, exactly as sent
        HeaderList headers; // in the order and spelling received
        QByteArray body;

        QByteArray requestLine() const;
        // The first value of the header, name compared case-insensitively; empty when absent.
        QByteArray header(const QByteArray &name) const;
        bool hasHeader(const QByteArray &name) const;
    };

    struct Reply
    {
        int status = 200;
        QByteArray reason;  // empty: the usual phrase of the status
        HeaderList headers; // sent as given; Content-Length is added unless given
        QByteArray body;
        int delayMs = 0;    // answer after this long
        bool answer = true; // false: hold the request unanswered (see answerHeld)

        // A reply with Content-Type application/json.
        static Reply json(const QByteArray &body, int status = 200);
        // A reply with Content-Type text/plain.
        static Reply text(const QByteArray &body, int status = 200);
    };

    using Handler = std::function<Reply(const Request &)>;

    explicit RecordingHttpServer(QObject *parent = nullptr);
    ~RecordingHttpServer() override;

    // Listens on a free port of 127.0.0.1.
    bool listen();
    quint16 port() const;
    // "http://127.0.0.1:<port>"
    QString url() const;

    // Every request gets this reply (the default is 200 with an empty body and no headers).
    void setReply(const Reply &reply);
    // Chooses each reply from its request.
    void setHandler(const Handler &handler);

    QList<Request> requests() const;
    // Answers every request held so far (and still connected) with this reply.
    void answerHeld(const Reply &reply);

signals:
    void requestReceived();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const Reply &reply);

    QTcpServer *m_server;
    Handler m_handler;
    QList<Request> m_requests;
    QList<QPointer<QTcpSocket>> m_held;
};
