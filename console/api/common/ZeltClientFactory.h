#pragma once

#include "ServiceAddress.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

// The default headers a console client starts with, by what it sends and reads.
using ZeltHeaderList = QList<QPair<QString, QString>>;
namespace ZeltDefaultHeaders {
inline const ZeltHeaderList Json{
    {QStringLiteral("Content-Type"), QStringLiteral("application/json")},
    {QStringLiteral("accept"), QStringLiteral("application/json")}};
inline const ZeltHeaderList Form{
    {QStringLiteral("Content-Type"), QStringLiteral("application/x-www-form-urlencoded")}};
inline const ZeltHeaderList AcceptJson{
    {QStringLiteral("accept"), QStringLiteral("application/json")}};
} // namespace ZeltDefaultHeaders

// A REST client for a configured host and path (the base address rule), with its default
// headers, owned by owner. No limit on a whole request; the request pool's time-outs still hold.
template <typename Client>
Client *newZeltClient(const QString &host, const QString &path, const ZeltHeaderList &headers,
                      QObject *owner)
{
    auto *client = new Client(ServiceAddress::fromConfig(host, path), 0);
    client->setParent(owner);
    for (const auto &[name, value] : headers)
        client->addHeaders(name, value);
    return client;
}
