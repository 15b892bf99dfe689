#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace Brenn_AWS::aws {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;
using QueryList = QList<QPair<QByteArray, QByteArray>>;

// One request as the protocol layer builds it. Path and query hold raw bytes (UTF-8); they are
// percent-encoded in one place, so what is signed is exactly what is sent.
struct HttpRequest
{
    QByteArray method = "GET";
    QByteArray scheme = "https";
    QByteArray host; // host[:port], also the Host header
    QByteArray path = "/";
    QueryList query;
    HeaderList headers; // without Host

    void setHeader(const QByteArray &name, const QByteArray &value);
    void removeHeader(const QByteArray &name);
    void addQuery(const QByteArray &name, const QByteArray &value) { query.append({name, value}); }
    QByteArray header(const QByteArray &name) const; // case-insensitive
    QByteArray encodedQuery() const;                 // in the order of `query`
    QByteArray url() const;
};

// Every byte outside A-Za-z0-9-_.~ as %XX (upper-case hex); "/" kept when keepSlash is set.
QByteArray uriEncode(const QByteArray &bytes, bool keepSlash);

} // namespace Brenn_AWS::aws
