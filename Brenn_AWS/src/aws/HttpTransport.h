#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

class QIODevice;
typedef void CURL;

namespace Brenn_AWS::aws {

struct TransportOptions
{
    qint64 connectTimeoutMs = 60000;
    // Longest time without any byte moving before the request is given up.
    qint64 requestTimeoutMs = 600000;
    bool verifyTls = false;
    // Set from another thread, it ends the running request at once.
    const std::atomic<bool> *cancel = nullptr;

    bool operator==(const TransportOptions &other) const
    {
        return connectTimeoutMs == other.connectTimeoutMs &&
               requestTimeoutMs == other.requestTimeoutMs && verifyTls == other.verifyTls;
    }
};

struct HttpResponse
{
    int status = -1;    // -1 when no response arrived
    HeaderList headers; // names in lower case
    QByteArray body;    // error bodies always; success bodies unless a sink took them
    int curlCode = 0;   // 0 when the exchange completed
    QString curlText;
    bool sinkRefused = false; // the body sink refused data and ended the transfer

    bool completed() const { return curlCode == 0; }
    bool isSuccess() const { return completed() && status >= 200 && status < 300; }
    QByteArray header(const QByteArray &lowerCaseName) const;
};

// Receives the body of a successful response piece by piece; false ends the transfer.
using BodySink = std::function<bool(const char *data, qint64 size)>;

// Blocking HTTP over one libcurl easy handle, reused for every request of a client so that the
// connection stays open between calls. Not thread-safe: one thread at a time.
class HttpTransport
{
public:
    explicit HttpTransport(const TransportOptions &options = {});
    ~HttpTransport();
    HttpTransport(const HttpTransport &) = delete;
    HttpTransport &operator=(const HttpTransport &) = delete;

    // Sends the request with `body` (bodySize bytes read from it) as its content. A 2xx body is
    // handed to `sink` when one is given; everything else is kept in the response.
    HttpResponse send(const HttpRequest &request, QIODevice *body = nullptr, qint64 bodySize = 0,
                      const BodySink &sink = {});
    const TransportOptions &options() const { return m_options; }

private:
    CURL *m_handle;
    TransportOptions m_options;
};

} // namespace Brenn_AWS::aws
