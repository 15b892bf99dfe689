#include "HttpTransport.h"

#include <QBuffer>

#include <curl/curl.h>

#include <cstdio>

#include <memory>

namespace Brenn_AWS::aws {

namespace {

struct Exchange
{
    CURL *handle;
    QIODevice *body;
    qint64 bodyStart; // where the body begins in its device
    const BodySink *sink;
    HttpResponse *response;
};

bool successStatus(CURL *handle)
{
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status >= 200 && status < 300;
}

size_t readBody(char *buffer, size_t size, size_t count, void *userData)
{
    auto *exchange = static_cast<Exchange *>(userData);
    const qint64 read = exchange->body->read(buffer, static_cast<qint64>(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(read);
}

// curl rewinds the body when it has to send it again, e.g. on a new connection after the kept
// one turned out to be dead.
int seekBody(void *userData, curl_off_t offset, int origin)
{
    auto *exchange = static_cast<Exchange *>(userData);
    if (origin != SEEK_SET || exchange->body->isSequential())
        return CURL_SEEKFUNC_CANTSEEK;
    return exchange->body->seek(exchange->bodyStart + offset) ? CURL_SEEKFUNC_OK
                                                              : CURL_SEEKFUNC_FAIL;
}

size_t writeBody(char *data, size_t size, size_t count, void *userData)
{
    auto *exchange = static_cast<Exchange *>(userData);
    const size_t bytes = size * count;
    if (*exchange->sink && successStatus(exchange->handle)) {
        if (!(*exchange->sink)(data, static_cast<qint64>(bytes))) {
            exchange->response->sinkRefused = true;
            return 0;
        }
    } else {
        exchange->response->body.append(data, static_cast<qsizetype>(bytes));
    }
    return bytes;
}

size_t writeHeader(char *data, size_t size, size_t count, void *userData)
{
    auto *response = static_cast<HttpResponse *>(userData);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
    if (line.startsWith("HTTP/")) {
        response->headers.clear(); // a new status line, e.g. after "100 Continue"
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        response->headers.append(
            {line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    return bytes;
}

int cancelIfAsked(void *userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(userData)->load() ? 1 : 0;
}

using HeaderSlist = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

HeaderSlist headerList(const HttpRequest &request, bool hasBody)
{
    curl_slist *list = nullptr;
    const auto add = [&list](const QByteArray &line) {
        list = curl_slist_append(list, line.constData());
    };
    add("Host: " + request.host);
    for (const auto &header : request.headers)
        add(header.first + ": " + header.second);
    add("Expect:"); // no 100-continue round trip before a body
    if (hasBody && request.header("content-type").isNull())
        add("Content-Type:"); // curl would otherwise invent a form content type for a POST
    return HeaderSlist(list, &curl_slist_free_all);
}

} // namespace

QByteArray HttpResponse::header(const QByteArray &lowerCaseName) const
{
    for (const auto &header : headers) {
        if (header.first == lowerCaseName)
            return header.second;
    }
    return {};
}

HttpTransport::HttpTransport(const TransportOptions &options)
    : m_handle(curl_easy_init()), m_options(options)
{
}

HttpTransport::~HttpTransport()
{
    curl_easy_cleanup(m_handle);
}

HttpResponse HttpTransport::send(const HttpRequest &request, QIODevice *body, qint64 bodySize,
                                 const BodySink &sink)
{
    QBuffer noBody;
    if (!body && (request.method == "PUT" || request.method == "POST")) {
        noBody.open(QIODevice::ReadOnly);
        body = &noBody;
        bodySize = 0;
    }
    HttpResponse response;
    Exchange exchange{m_handle, body, body ? body->pos() : 0, &sink, &response};
    // A reset clears the options of the previous request but keeps its open connection.
    curl_easy_reset(m_handle);
    const QByteArray url = request.url();
    curl_easy_setopt(m_handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_handle, CURLOPT_PATH_AS_IS, 1L); // keys are sent exactly as signed
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
    // Like the AWS SDK's own transport: no proxy from the environment's *_proxy variables.
    curl_easy_setopt(m_handle, CURLOPT_PROXY, "");
    curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(m_options.connectTimeoutMs));
    curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_TIME,
                     static_cast<long>(qMax<qint64>(1, m_options.requestTimeoutMs / 1000)));
    if (m_options.cancel) {
        curl_easy_setopt(m_handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(m_handle, CURLOPT_XFERINFOFUNCTION, &cancelIfAsked);
        curl_easy_setopt(m_handle, CURLOPT_XFERINFODATA, m_options.cancel);
    }
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYPEER, m_options.verifyTls ? 1L : 0L);
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYHOST, m_options.verifyTls ? 2L : 0L);

    const bool hasBody = body != nullptr;
    if (request.method == "HEAD") {
        curl_easy_setopt(m_handle, CURLOPT_NOBODY, 1L);
    } else if (request.method == "PUT") {
        curl_easy_setopt(m_handle, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bodySize));
    } else if (request.method == "POST") {
        curl_easy_setopt(m_handle, CURLOPT_POST, 1L);
        curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodySize));
    } else if (request.method != "GET") {
        curl_easy_setopt(m_handle, CURLOPT_CUSTOMREQUEST, request.method.constData());
    }
    if (hasBody) {
        curl_easy_setopt(m_handle, CURLOPT_READFUNCTION, &readBody);
        curl_easy_setopt(m_handle, CURLOPT_READDATA, &exchange);
        curl_easy_setopt(m_handle, CURLOPT_SEEKFUNCTION, &seekBody);
        curl_easy_setopt(m_handle, CURLOPT_SEEKDATA, &exchange);
    }
    const HeaderSlist headers = headerList(request, hasBody);
    curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &writeHeader);
    curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, &response);

    const CURLcode code = curl_easy_perform(m_handle);
    long status = -1;
    if (curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status > 0)
        response.status = static_cast<int>(status);
    if (code != CURLE_OK) {
        response.curlCode = code;
        response.curlText = QString::fromUtf8(curl_easy_strerror(code));
    }
    return response;
}

} // namespace Brenn_AWS::aws
