#include "HttpFrontend.h"

#include "Router.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QMetaEnum>
#include <QTcpServer>
#include <QUrl>

namespace VorelSim {

HttpFrontend::HttpFrontend(Handler handler, QObject *parent)
    : QAbstractHttpServer(parent), m_handler(std::move(handler))
{
}

quint16 HttpFrontend::start(const QHostAddress &address, quint16 port, QString *error)
{
    auto *server = new QTcpServer(this);
    if (!server->listen(address, port)) {
        if (error)
            *error = server->errorString();
        delete server;
        return 0;
    }
    bind(server);
    return server->serverPort();
}

bool HttpFrontend::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const HttpReply reply = m_handler(convert(request));
    QHttpServerResponse response(reply.contentType, reply.body,
                                 static_cast<QHttpServerResponder::StatusCode>(reply.status));
    for (const auto &[name, value] : reply.headers)
        response.addHeader(name, value);
    response.write(makeResponder(request, socket));
    return true;
}

void HttpFrontend::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // Not reached: handleRequest answers every request.
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

HttpRequest HttpFrontend::convert(const QHttpServerRequest &request)
{
    HttpRequest result;
    const QMetaEnum methods = QMetaEnum::fromType<QHttpServerRequest::Method>();
    result.method = QByteArray(methods.valueToKey(int(request.method()))).toUpper();
    result.path = request.url().path(QUrl::FullyEncoded);
    for (const QString &segment : Router::splitPath(result.path))
        result.segments.append(QUrl::fromPercentEncoding(segment.toUtf8()));
    result.query = request.query();
    result.headers = request.headers();
    result.body = request.body();
    return result;
}

} // namespace VorelSim
