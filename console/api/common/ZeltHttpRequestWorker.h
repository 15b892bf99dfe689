#pragma once

#include "ZeltHttpFileElement.h"
#include "ZeltHttpRequestInput.h"

#include <QByteArray>
#include <QMap>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QTimer;

namespace Zelt_Common_API {

// Sends exactly one request and reports its outcome once through on_execution_finished.
// Lives for that one request; the client that created it deletes it afterwards. The request goes
// out through the shared request pool; from then on it fails as timed out when no connection
// comes within the pool's connect time-out or its reply stalls for the reply time-out.
class ZeltHttpRequestWorker : public QObject
{
    Q_OBJECT

public:
    QByteArray response;
    QNetworkReply::NetworkError error_type = QNetworkReply::NoError;
    QString error_str;

    explicit ZeltHttpRequestWorker(QObject *parent = nullptr);
    ~ZeltHttpRequestWorker() override;

    // The reply's raw headers, names as received.
    QMap<QString, QString> responseHeaders() const;
    // Attachments saved from the reply into the working directory, by file name.
    QMap<QString, ZeltHttpFileElement> receivedFiles() const;
    QString workingDirectory() const;

    // A limit on the whole request, on top of the pool's time-outs; 0 means none.
    void setTimeOut(int timeOutMs);
    // An empty path keeps the current directory.
    void setWorkingDirectory(const QString &path);
    // Sends the request; fills in the input's layout (and the URL for ADDRESS variables).
    void execute(ZeltHttpRequestInput *input);
    // Takes in a finished reply's headers and body: the response text or the saved attachment.
    void readReply(const QList<QNetworkReply::RawHeaderPair> &headers, const QByteArray &body);
    // Puts the prepared request on the wire; the pool calls it once a place is free.
    void dispatch();
    // Sent or waiting to be sent, and not yet answered.
    bool isOutstanding() const { return m_outstanding; }

signals:
    void on_execution_finished(ZeltHttpRequestWorker *worker);

private:
    void onReplyFinished();
    void watchProgress();
    void awaitReply();
    void failAsTimedOut(const QString &text);
    void dropReply();
    void finish();
    std::optional<QString> receivedHeader(const QString &name) const;
    void readBody(const QByteArray &body);
    void saveAttachment(const QString &disposition, const QByteArray &body);

    QMap<QString, QString> m_headers;
    QMap<QString, ZeltHttpFileElement> m_files;
    QString m_workingDirectory;
    int m_timeOutMs = 0;
    QTimer *m_timeOutTimer;
    // Runs for the connect time-out until the request is out, then for the reply time-out,
    // restarted by every byte that moves.
    QTimer *m_stallTimer;
    bool m_connecting = false;
    bool m_outstanding = false;
    QNetworkRequest m_request;
    QString m_method;
    QByteArray m_content;
    QNetworkReply *m_reply = nullptr;
};

// A request kept by pointer that has been sent and not yet answered (nor dropped).
inline bool isOutstanding(const QPointer<ZeltHttpRequestWorker> &request)
{
    return request && request->isOutstanding();
}

} // namespace Zelt_Common_API
