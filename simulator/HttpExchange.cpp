#include "HttpExchange.h"

#include <QJsonDocument>
#include <QUrl>

namespace VorelSim {

QByteArray HttpRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool HttpRequest::hasQueryItem(const QString &name) const
{
    return query.hasQueryItem(name);
}

QString HttpRequest::queryValue(const QString &name) const
{
    return query.queryItemValue(name, QUrl::FullyDecoded);
}

QMap<QString, QString> HttpRequest::form() const
{
    QMap<QString, QString> values;
    QByteArray text = body;
    text.replace('+', ' ');
    for (const QByteArray &pair : text.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        values.insert(QUrl::fromPercentEncoding(name), QUrl::fromPercentEncoding(value));
    }
    return values;
}

bool HttpRequest::hasFormContentType() const
{
    const QByteArray type = header("Content-Type").split(';').first().trimmed().toLower();
    return type == "application/x-www-form-urlencoded";
}

HttpReply jsonReply(const QJsonObject &object, int status)
{
    return {status, "application/json", QJsonDocument(object).toJson(QJsonDocument::Indented), {}};
}

HttpReply jsonReply(const QJsonArray &array, int status)
{
    return {status, "application/json", QJsonDocument(array).toJson(QJsonDocument::Indented), {}};
}

HttpReply textReply(const QString &text, int status)
{
    return {status, "text/plain; charset=utf-8", text.toUtf8(), {}};
}

HttpReply emptyReply(int status)
{
    return {status, {}, {}, {}};
}

HttpReply errorReply(int status, const QString &message, const QString &source)
{
    QJsonObject error{{QStringLiteral("code"), status},
                      {QStringLiteral("message"), message},
                      {QStringLiteral("source"), source}};
    return jsonReply(error, status);
}

QString reasonPhrase(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("Bad Request");
    case 401:
        return QStringLiteral("Unauthorized");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 405:
        return QStringLiteral("Method Not Allowed");
    case 409:
        return QStringLiteral("Conflict");
    case 500:
        return QStringLiteral("Internal Server Error");
    case 502:
        return QStringLiteral("Bad Gateway");
    case 503:
        return QStringLiteral("Service Unavailable");
    default:
        return QStringLiteral("HTTP %1").arg(status);
    }
}

} // namespace VorelSim
