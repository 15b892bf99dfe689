#pragma once

#include "HttpExchange.h"

#include <QAbstractHttpServer>
#include <QHostAddress>

#include <functional>

class QTcpServer;

namespace VorelSim {

// The HTTP side: accepts connections on one address and port, turns each request into an
// HttpRequest, asks the handler and writes its reply.
class HttpFrontend : public QAbstractHttpServer
{
    Q_OBJECT

public:
    using Handler = std::function<HttpReply(const HttpRequest &)>;

    explicit HttpFrontend(Handler handler, QObject *parent = nullptr);

    // Binds to address and port (0: a free port). Returns the port, 0 on failure.
    quint16 start(const QHostAddress &address, quint16 port, QString *error);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    static HttpRequest convert(const QHttpServerRequest &request);
    Handler m_handler;
};

} // namespace VorelSim
