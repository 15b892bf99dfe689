#pragma once

#include "ZeltHttpFileElement.h"
#include "ZeltHttpRequestInput.h"

#include <QByteArray>
#include <QMap>
#include <QNetworkReply>
#include <QObject>
#include <QString>

#include <optional>

class QNetworkAccessManager;
class QTimer;

namespace Zelt_Common_API {

// Sends exactly one request and reports its outcome once through on_execution_finished.
// Lives for that one request; the client that created it deletes it afterwards.
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

    // 0 means no time-out.
    void setTimeOut(int timeOutMs);
    // An empty path keeps the current directory.
    void setWorkingDirectory(const QString &path);
    // Sends the request; fills in the input's layout (and the URL for ADDRESS variables).
    void execute(ZeltHttpRequestInput *input);
    // Takes in a finished reply's headers and body: the response text or the saved attachment.
    void readReply(const QList<QNetworkReply::RawHeaderPair> &headers, const QByteArray &body);

signals:
    void on_execution_finished(ZeltHttpRequestWorker *worker);

private slots:
    void on_manager_finished(QNetworkReply *reply);

private:
    void send(const QNetworkRequest &request, const QString &method, const QByteArray &content);
    void onTimedOut(QNetworkReply *reply);
    void stopTimer();
    std::optional<QString> receivedHeader(const QString &name) const;
    void readBody(const QByteArray &body);
    void saveAttachment(const QString &disposition, const QByteArray &body);

    QNetworkAccessManager *m_manager;
    QMap<QString, QString> m_headers;
    QMap<QString, ZeltHttpFileElement> m_files;
    QString m_workingDirectory;
    QTimer *m_timeOutTimer;
};

} // namespace Zelt_Common_API
