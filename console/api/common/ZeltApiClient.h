#pragma once

#include "ServiceAddress.h"
#include "ZeltApiCall.h"
#include "ZeltHttpRequestWorker.h"
#include "ZeltJsonConversions.h"
#include "ZeltTokenRenewal.h"

#include <QJsonDocument>
#include <QList>
#include <QMap>
#include <QNetworkReply>
#include <QObject>
#include <QString>

#include <functional>

namespace Zelt_Common_API {

// What the completion step of an operation knows once its worker has finished.
struct ZeltCompletion
{
    ZeltHttpRequestWorker *worker = nullptr;
    bool succeeded = false;
    QNetworkReply::NetworkError errorType = QNetworkReply::NoError;
    // On failure Qt's error text, ", " and the body; on success the worker's error text.
    QString errorText;
    // The reply body as text, up to its first NUL.
    QString body;
};

// Operation results built from a reply body: a QString or qint32 from the text, a model from
// its JSON text, a list from the body's top-level array (empty when there is none).
void zeltReadResult(QString &result, const QString &body);
void zeltReadResult(qint32 &result, const QString &body);
void zeltReadResult(ZeltObject &result, const QString &body);
template <typename T> void zeltReadResult(QList<T> &result, const QString &body)
{
    fromJsonValue(result, QJsonDocument::fromJson(body.toUtf8()).array());
}

// The frame of every REST client: where requests go, the headers they all carry, and the one way
// an operation is sent and answered. Operations return at once; each answers later through its
// four signals <operation>Signal, ...SignalFull on success, ...SignalE, ...SignalEFull on failure.
class ZeltApiClient : public QObject
{
    Q_OBJECT

public:
    // timeOut in milliseconds limits each whole request; 0 sets no such limit (the request pool's
    // connect and reply time-outs hold either way).
    ZeltApiClient(const QString &scheme, const QString &host, int port, const QString &basePath,
                  int timeOut = 0);
    explicit ZeltApiClient(const ServiceAddress &address, int timeOut = 0);

    // Copied into every request at the moment its operation is called.
    QMap<QString, QString> defaultHeaders;
    // Sets one default header, replacing an earlier value of the same name.
    void addHeaders(const QString &key, const QString &value);
    // Every later request carries "Authorization: Bearer <token>".
    void setBearerToken(const QString &token);
    // A request refused with 401 asks renewal for a new token once, then goes out again with it;
    // without renewal (or when it fails) the 401 is the request's answer.
    void setTokenRenewal(ZeltTokenRenewal *renewal);

    void setScheme(const QString &scheme);
    void setHost(const QString &host);
    void setPort(int port);
    void setBasePath(const QString &basePath);
    void setTimeOut(int timeOut);
    // Where reply attachments are saved; empty means the current directory.
    void setWorkingDirectory(const QString &path);

signals:
    // Drops every request in flight: none of them will answer.
    void abortRequestsSignal();

protected:
    // The request of an operation on pathTemplate (appended to the base path).
    ZeltApiCall call(const QString &method, const QString &pathTemplate) const;

    // Each send answers with the request's worker, which its ...Full signals carry: the one way to
    // tell the reply to this request from those to others of the same operation.
    template <typename Client, typename Result>
    ZeltHttpRequestWorker *
    send(const ZeltApiCall &call, void (Client::*done)(Result),
         void (Client::*doneFull)(ZeltHttpRequestWorker *, Result),
         void (Client::*failed)(Result, QNetworkReply::NetworkError, QString),
         void (Client::*failedFull)(ZeltHttpRequestWorker *, QNetworkReply::NetworkError, QString))
    {
        Client *client = static_cast<Client *>(this);
        return start(call, [=](const ZeltCompletion &completion) {
            Result summary{};
            zeltReadResult(summary, completion.body);
            if (completion.succeeded) {
                emit(client->*done)(summary);
                emit(client->*doneFull)(completion.worker, summary);
            } else {
                emit(client->*failed)(summary, completion.errorType, completion.errorText);
                emit(client->*failedFull)(completion.worker, completion.errorType,
                                          completion.errorText);
            }
        });
    }

    template <typename Client>
    ZeltHttpRequestWorker *send(const ZeltApiCall &call, void (Client::*done)(),
                                void (Client::*doneFull)(ZeltHttpRequestWorker *),
                                void (Client::*failed)(QNetworkReply::NetworkError, QString),
                                void (Client::*failedFull)(ZeltHttpRequestWorker *,
                                                           QNetworkReply::NetworkError, QString))
    {
        Client *client = static_cast<Client *>(this);
        return start(call, [=](const ZeltCompletion &completion) {
            if (completion.succeeded) {
                emit(client->*done)();
                emit(client->*doneFull)(completion.worker);
            } else {
                emit(client->*failed)(completion.errorType, completion.errorText);
                emit(client->*failedFull)(completion.worker, completion.errorType,
                                          completion.errorText);
            }
        });
    }

    QString _scheme;
    QString _host;
    int _port;
    QString _basePath;
    int _timeOut;
    QString _workingDirectory;

private:
    ZeltHttpRequestWorker *start(const ZeltApiCall &call,
                                 const std::function<void(const ZeltCompletion &)> &complete);
    // Sends the call with the default headers as they are now.
    void execute(ZeltHttpRequestWorker *worker, const ZeltApiCall &call) const;

    ZeltTokenRenewal *tokenRenewal = nullptr;
};

} // namespace Zelt_Common_API

// The four signals of an operation, in the order ZeltApiClient::send takes them.
#define ZELT_OPERATION_SIGNALS(Client, operation)                                                  \
    &Client::operation##Signal, &Client::operation##SignalFull, &Client::operation##SignalE,       \
        &Client::operation##SignalEFull
