#include "ZeltApiClient.h"

namespace Zelt_Common_API {

namespace {

QString bodyText(const QByteArray &body)
{
    const qsizetype nul = body.indexOf('\0');
    return QString::fromUtf8(nul >= 0 ? body.left(nul) : body);
}

ZeltCompletion completionOf(ZeltHttpRequestWorker *finished)
{
    ZeltCompletion completion;
    completion.worker = finished;
    completion.errorType = finished->error_type;
    completion.succeeded = finished->error_type == QNetworkReply::NoError;
    completion.body = bodyText(finished->response);
    completion.errorText = completion.succeeded
                               ? finished->error_str
                               : QStringLiteral("%1, %2").arg(finished->error_str, completion.body);
    return completion;
}

} // namespace

void zeltReadResult(QString &result, const QString &body)
{
    fromStringValue(body, result);
}

void zeltReadResult(qint32 &result, const QString &body)
{
    fromStringValue(body, result);
}

void zeltReadResult(ZeltObject &result, const QString &body)
{
    result.fromJson(body);
}

ZeltApiClient::ZeltApiClient(const QString &scheme, const QString &host, int port,
                             const QString &basePath, int timeOut)
    : _scheme(scheme), _host(host), _port(port), _basePath(basePath), _timeOut(timeOut)
{
}

ZeltApiClient::ZeltApiClient(const ServiceAddress &address, int timeOut)
    : ZeltApiClient(address.scheme, address.host, address.port, address.basePath, timeOut)
{
}

void ZeltApiClient::addHeaders(const QString &key, const QString &value)
{
    defaultHeaders.insert(key, value);
}

void ZeltApiClient::setBearerToken(const QString &token)
{
    addHeaders(QStringLiteral("Authorization"), QStringLiteral("Bearer ") + token);
}

void ZeltApiClient::setTokenRenewal(ZeltTokenRenewal *renewal)
{
    tokenRenewal = renewal;
}

void ZeltApiClient::setScheme(const QString &scheme)
{
    _scheme = scheme;
}

void ZeltApiClient::setHost(const QString &host)
{
    _host = host;
}

void ZeltApiClient::setPort(int port)
{
    _port = port;
}

void ZeltApiClient::setBasePath(const QString &basePath)
{
    _basePath = basePath;
}

void ZeltApiClient::setTimeOut(int timeOut)
{
    _timeOut = timeOut;
}

void ZeltApiClient::setWorkingDirectory(const QString &path)
{
    _workingDirectory = path;
}

ZeltApiCall ZeltApiClient::call(const QString &method, const QString &pathTemplate) const
{
    const QString port = _port == 0 ? QString() : QLatin1Char(':') + QString::number(_port);
    return ZeltApiCall(
        QStringLiteral("%1://%2%3%4%5").arg(_scheme, _host, port, _basePath, pathTemplate), method);
}

ZeltHttpRequestWorker *
ZeltApiClient::start(const ZeltApiCall &call,
                     const std::function<void(const ZeltCompletion &)> &complete)
{
    auto *worker = new ZeltHttpRequestWorker(this);
    worker->setTimeOut(_timeOut);
    worker->setWorkingDirectory(_workingDirectory);

    const auto answer = [complete](ZeltHttpRequestWorker *finished) {
        finished->deleteLater();
        complete(completionOf(finished));
    };
    connect(worker, &ZeltHttpRequestWorker::on_execution_finished, this,
            [this, call, answer, renewed = false](ZeltHttpRequestWorker *finished) mutable {
                if (renewed || !tokenRenewal ||
                    finished->error_type != QNetworkReply::AuthenticationRequiredError) {
                    answer(finished);
                    return;
                }
                renewed = true;
                tokenRenewal->renewAccessToken(finished, [this, call, answer, finished](bool ok) {
                    if (ok)
                        execute(finished, call);
                    else
                        answer(finished);
                });
            });
    // Once aborted, a request stays silent even if its reply is already on the way.
    connect(this, &ZeltApiClient::abortRequestsSignal, worker, [worker] {
        worker->disconnect();
        worker->deleteLater();
    });
    execute(worker, call);
    return worker;
}

void ZeltApiClient::execute(ZeltHttpRequestWorker *worker, const ZeltApiCall &call) const
{
    ZeltHttpRequestInput input = call.input();
    for (auto it = defaultHeaders.cbegin(); it != defaultHeaders.cend(); ++it)
        input.headers.insert(it.key(), it.value());
    worker->execute(&input);
}

} // namespace Zelt_Common_API
