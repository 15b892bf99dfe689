#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>

// A small blocking HTTP client for talking to the stand-in as any client would.
struct SimReply
{
    int status = 0; // 0: no HTTP answer at all
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    QJsonObject object() const;
    QJsonArray array() const;
    QByteArray header(const QByteArray &name) const;
    // The "message" of a ZeltError body.
    QString message() const { return object().value(QStringLiteral("message")).toString(); }
};

class SimHttp
{
public:
    using Pairs = QList<QPair<QString, QString>>;

    explicit SimHttp(const QString &baseUrl, const QString &bearer = {})
        : m_baseUrl(baseUrl), m_bearer(bearer)
    {
    }
    void setBearer(const QString &token) { m_bearer = token; }

    SimReply get(const QString &path);
    SimReply remove(const QString &path);
    SimReply form(const QByteArray &method, const QString &path, const Pairs &pairs);
    SimReply json(const QByteArray &method, const QString &path, const QJsonObject &body);
    SimReply send(const QByteArray &method, const QString &path, const QByteArray &body,
                  const QList<QPair<QByteArray, QByteArray>> &headers);

    static QByteArray formBody(const Pairs &pairs);

private:
    QString m_baseUrl;
    QString m_bearer;
    QNetworkAccessManager m_manager;
};
