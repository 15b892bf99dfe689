#include "SimHttp.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QUrl>

QJsonObject SimReply::object() const
{
    return QJsonDocument::fromJson(body).object();
}

QJsonArray SimReply::array() const
{
    return QJsonDocument::fromJson(body).array();
}

QByteArray SimReply::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

SimReply SimHttp::get(const QString &path)
{
    return send("GET", path, {}, {});
}

SimReply SimHttp::remove(const QString &path)
{
    return send("DELETE", path, {}, {});
}

SimReply SimHttp::form(const QByteArray &method, const QString &path, const Pairs &pairs)
{
    return send(method, path, formBody(pairs),
                {{"Content-Type", "application/x-www-form-urlencoded"}});
}

SimReply SimHttp::json(const QByteArray &method, const QString &path, const QJsonObject &body)
{
    return send(method, path, QJsonDocument(body).toJson(), {{"Content-Type", "application/json"}});
}

SimReply SimHttp::send(const QByteArray &method, const QString &path, const QByteArray &body,
                       const QList<QPair<QByteArray, QByteArray>> &headers)
{
    QNetworkRequest request(QUrl(m_baseUrl + path));
    if (!m_bearer.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + m_bearer.toUtf8());
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    QBuffer *buffer = new QBuffer;
    buffer->setData(body);
    QNetworkReply *reply = m_manager.sendCustomRequest(request, method, buffer);
    buffer->setParent(reply);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(20000);
    SimReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.headers = reply->rawHeaderPairs();
    reply->deleteLater();
    return result;
}

QByteArray SimHttp::formBody(const Pairs &pairs)
{
    QByteArray body;
    for (const auto &[name, value] : pairs) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}
