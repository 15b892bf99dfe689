#include "FacadeSupport.h"

namespace Brenn_AWS {

QAWSException exceptionFrom(const aws::AwsError &error)
{
    QAWSException exception(error.type, error.exceptionName, error.message);
    exception.transient = aws::isTransient(error);
    return exception;
}

aws::Endpoint endpointFor(Type type, const QString &service, const QString &location)
{
    switch (type) {
    case MinIO:
        return aws::Endpoint::fromLocation(location, QStringLiteral("eu-central-1"));
    case AWS:
        if (!location.isEmpty())
            return aws::Endpoint::regional(service, location);
        break;
    }
    return aws::Endpoint::fromEnvironment(service);
}

aws::Endpoint s3EndpointFor(Type type, const QString &location)
{
    const QString s3 = QStringLiteral("s3");
    if (type == AWS && !location.isEmpty()) {
        if (const auto configured = aws::Endpoint::fromEnvironmentUrl(s3, location))
            return *configured;
    }
    return endpointFor(type, s3, location);
}

void checkMode(bool singleUser, bool singleUserFormCalled)
{
    if (singleUserFormCalled && !singleUser)
        throw QAWSException(187, QStringLiteral("Wrong Mode!"),
                            QStringLiteral("Not in Single User mode!"));
    if (!singleUserFormCalled && singleUser)
        throw QAWSException(188, QStringLiteral("Wrong Mode!"),
                            QStringLiteral("Not in Multi User mode!"));
}

QAWSException missingUploadFile(const QString &path)
{
    return QAWSException(222, QStringLiteral("PutObject Error"),
                         QStringLiteral("Error: PutObject: File '") + path +
                             QStringLiteral("' does not exist.\n"));
}

QAWSException cannotOpenFile(const QString &path)
{
    return QAWSException(1, QStringLiteral("Cannot open File"),
                         QStringLiteral("File %1 could not be opened").arg(path));
}

QAWSException cannotReadFile(const QString &path)
{
    return QAWSException(1, QStringLiteral("Cannot read File"),
                         QStringLiteral("File %1 could not be read to its end").arg(path));
}

QAWSException cannotWriteFile(const QString &path)
{
    return QAWSException(1, QStringLiteral("Cannot write File"),
                         QStringLiteral("File %1 could not be written").arg(path));
}

QAWSException emptyObjectKey()
{
    return QAWSException(aws::ErrorType::InvalidParameterValue,
                         QStringLiteral("InvalidParameterValue"),
                         QStringLiteral("The object key is empty."));
}

QAWSException incompleteTransferState(const QString &missing)
{
    return QAWSException(aws::ErrorType::InvalidParameterValue,
                         QStringLiteral("InvalidParameterValue"),
                         QStringLiteral("The transfer to continue has no %1.").arg(missing));
}

QAWSException integrityFailure(const QString &message)
{
    return QAWSException(189, QStringLiteral("Integrity Check Failed"),
                         QStringLiteral("Integrity check failed: ") + message);
}

QString withoutQuotes(QString eTag)
{
    return eTag.remove(QLatin1Char('"'));
}

} // namespace Brenn_AWS
