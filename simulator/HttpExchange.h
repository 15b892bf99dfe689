#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrlQuery>

namespace VorelSim {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// One request as the services see it, detached from the HTTP server's own types so that the
// services can be driven and recorded without a socket.
struct HttpRequest
{
    QByteArray method;
    QString path;         // as sent, still percent-encoded
    QStringList segments; // the path split at "/", each segment decoded
    QUrlQuery query;
    HeaderList headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const;
    bool hasQueryItem(const QString &name) const;
    QString queryValue(const QString &name) const;
    // The body read as an "application/x-www-form-urlencoded" form; a later pair wins.
    QMap<QString, QString> form() const;
    bool hasFormContentType() const;
};

struct HttpReply
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    HeaderList headers;
};

// Reply builders. JSON goes out indented, as the platform's services write it.
HttpReply jsonReply(const QJsonObject &object, int status = 200);
HttpReply jsonReply(const QJsonArray &array, int status = 200);
HttpReply textReply(const QString &text, int status = 200);
HttpReply emptyReply(int status = 204);
// The services' error body, a ZeltError object: code, message, source.
HttpReply errorReply(int status, const QString &message, const QString &source);

QString reasonPhrase(int status);

} // namespace VorelSim
