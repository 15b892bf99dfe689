#include <Brenn_AWS/QAWSException.h>

QAWSException::QAWSException() = default;

QAWSException::QAWSException(qint32 code, const QString &name, const QString &message)
    : code(code), name(name), message(message)
{
}

QAWSException::QAWSException(const QAWSException &other) = default;

QAWSException &QAWSException::operator=(const QAWSException &other) = default;

QAWSException::~QAWSException() = default;
