#pragma once

#include <Brenn_AWS/Brenn_AWS_Global.h>

#include <QException>
#include <QString>

// The library's one error channel: the service's error type, name and message, or one of the
// library's own codes.
class BRENN_AWS_EXPORT QAWSException : public QException
{
public:
    QAWSException();
    QAWSException(qint32 code, const QString &name, const QString &message);
    QAWSException(const QAWSException &other);
    QAWSException &operator=(const QAWSException &other);
    ~QAWSException() override;

    qint32 code = -1;
    QString name = QStringLiteral("unset");
    QString message = QStringLiteral("unset");
    // The failure may pass if the same request is sent again a little later: a dropped
    // connection, a time-out, a busy or failing server (500, 502, 503, 504, "SlowDown",
    // "RequestTimeout").
    bool transient = false;
};
