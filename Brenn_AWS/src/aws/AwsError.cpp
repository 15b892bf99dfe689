#include "AwsError.h"

#include "Xml.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace Brenn_AWS::aws {

namespace {

// Names that the services send, with and without the "Exception" suffix where the SDK knows both.
const QHash<QString, int> &knownNames()
{
    static const QHash<QString, int> names = [] {
        QHash<QString, int> map;
        const auto both = [&map](const char *name, int type) {
            map.insert(QLatin1String(name), type);
            map.insert(QLatin1String(name) + QLatin1String("Exception"), type);
        };
        both("IncompleteSignature", ErrorType::IncompleteSignature);
        both("InvalidSignature", ErrorType::InvalidSignature);
        both("InternalFailure", ErrorType::InternalFailure);
        map.insert(QStringLiteral("InternalServerError"), ErrorType::InternalFailure);
        map.insert(QStringLiteral("InternalError"), ErrorType::InternalFailure);
        both("InvalidAction", ErrorType::InvalidAction);
        both("InvalidClientTokenId", ErrorType::InvalidClientTokenId);
        both("InvalidParameterCombination", ErrorType::InvalidParameterCombination);
        both("InvalidParameterValue", ErrorType::InvalidParameterValue);
        both("InvalidQueryParameter", ErrorType::InvalidQueryParameter);
        both("MalformedQueryString", ErrorType::MalformedQueryString);
        both("MissingAction", ErrorType::MissingAction);
        both("MissingAuthenticationToken", ErrorType::MissingAuthenticationToken);
        both("MissingParameter", ErrorType::MissingParameter);
        map.insert(QStringLiteral("OptInRequired"), ErrorType::OptInRequired);
        both("RequestExpired", ErrorType::RequestExpired);
        both("ServiceUnavailable", ErrorType::ServiceUnavailable);
        map.insert(QStringLiteral("ServiceUnavailableError"), ErrorType::ServiceUnavailable);
        both("Throttling", ErrorType::Throttling);
        map.insert(QStringLiteral("ThrottledException"), ErrorType::Throttling);
        both("RequestThrottled", ErrorType::Throttling);
        both("Validation", ErrorType::Validation);
        map.insert(QStringLiteral("ValidationError"), ErrorType::Validation);
        map.insert(QStringLiteral("ValidationErrorException"), ErrorType::Validation);
        both("AccessDenied", ErrorType::AccessDenied);
        both("ResourceNotFound", ErrorType::ResourceNotFound);
        both("UnrecognizedClient", ErrorType::UnrecognizedClient);
        both("SlowDown", ErrorType::SlowDown);
        both("SignatureDoesNotMatch", ErrorType::SignatureDoesNotMatch);
        both("InvalidAccessKeyId", ErrorType::InvalidAccessKeyId);
        both("RequestTimeTooSkewed", ErrorType::RequestTimeTooSkewed);
        both("RequestTimeout", ErrorType::RequestTimeout);
        map.insert(QStringLiteral("ExpiredToken"), ErrorType::ExpiredToken);
        map.insert(QStringLiteral("InvalidToken"), ErrorType::InvalidToken);

        map.insert(QStringLiteral("BucketAlreadyExists"), ErrorType::BucketAlreadyExists);
        map.insert(QStringLiteral("BucketAlreadyOwnedByYou"), ErrorType::BucketAlreadyOwnedByYou);
        map.insert(QStringLiteral("EncryptionTypeMismatch"), ErrorType::EncryptionTypeMismatch);
        map.insert(QStringLiteral("IdempotencyParameterMismatch"),
                   ErrorType::IdempotencyParameterMismatch);
        map.insert(QStringLiteral("InvalidObjectState"), ErrorType::InvalidObjectState);
        map.insert(QStringLiteral("InvalidRequest"), ErrorType::InvalidRequest);
        map.insert(QStringLiteral("InvalidWriteOffset"), ErrorType::InvalidWriteOffset);
        map.insert(QStringLiteral("NoSuchBucket"), ErrorType::NoSuchBucket);
        map.insert(QStringLiteral("NoSuchKey"), ErrorType::NoSuchKey);
        map.insert(QStringLiteral("NoSuchUpload"), ErrorType::NoSuchUpload);
        map.insert(QStringLiteral("ObjectAlreadyInActiveTierError"),
                   ErrorType::ObjectAlreadyInActiveTier);
        map.insert(QStringLiteral("ObjectNotInActiveTierError"), ErrorType::ObjectNotInActiveTier);
        map.insert(QStringLiteral("TooManyParts"), ErrorType::TooManyParts);
        return map;
    }();
    return names;
}

// "aws.protocoltests#InvalidGreeting:http://internal.amazon.com/coral/" -> "InvalidGreeting"
QString bareName(QString name)
{
    const qsizetype hash = name.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        name = name.mid(hash + 1);
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        name = name.left(colon);
    return name.trimmed();
}

int typeForStatus(int httpStatus)
{
    switch (httpStatus) {
    case 401:
    case 403:
        return ErrorType::AccessDenied;
    case 404:
        return ErrorType::ResourceNotFound;
    case 429:
        return ErrorType::SlowDown;
    case 500:
        return ErrorType::InternalFailure;
    case 503:
        return ErrorType::ServiceUnavailable;
    case 509:
        return ErrorType::Throttling;
    case 408:
    case 419:
    case 440:
    case 504:
    case 598:
    case 599:
        return ErrorType::RequestTimeout;
    default:
        return ErrorType::Unknown;
    }
}

AwsError statusError(int httpStatus, const QString &message)
{
    return AwsError{typeForStatus(httpStatus), QString(), message, httpStatus};
}

} // namespace

AwsError errorFromName(const QString &name, const QString &message, int httpStatus)
{
    const QString bare = bareName(name);
    const auto known = knownNames().constFind(bare);
    if (known != knownNames().constEnd())
        return AwsError{known.value(), bare, message, httpStatus};
    return AwsError{
        ErrorType::Unknown, bare,
        QStringLiteral("Unable to parse ExceptionName: %1 Message: %2").arg(bare, message),
        httpStatus};
}

AwsError bodylessError(int httpStatus)
{
    int type = ErrorType::Unknown;
    if (httpStatus == 401 || httpStatus == 403)
        type = ErrorType::AccessDenied;
    else if (httpStatus == 404)
        type = ErrorType::ResourceNotFound;
    return AwsError{type, QString(), QStringLiteral("No response body."), httpStatus};
}

bool isTransient(const AwsError &error)
{
    // No complete response: refused, reset, timed out or cut short.
    if (error.type == ErrorType::NetworkConnection)
        return true;
    if (error.httpStatus == 500 || error.httpStatus == 502 || error.httpStatus == 503 ||
        error.httpStatus == 504)
        return true;
    // Only as named by the service: the bare statuses that the SDK maps to these types (429,
    // 408, ...) are not on the list.
    return !error.exceptionName.isEmpty() &&
           (error.type == ErrorType::SlowDown || error.type == ErrorType::RequestTimeout);
}

AwsError transportError(int curlCode, const QString &curlText)
{
    return AwsError{ErrorType::NetworkConnection, QString(),
                    QStringLiteral("curlCode: %1, %2").arg(curlCode).arg(curlText), -1};
}

AwsError xmlError(int httpStatus, const QByteArray &body)
{
    if (body.trimmed().isEmpty())
        return bodylessError(httpStatus);
    const std::optional<XmlElement> root = parseXml(body);
    const XmlElement *error = nullptr;
    if (root && root->name == QLatin1String("Error"))
        error = &*root;
    else if (root)
        error = root->child(QStringLiteral("Error"));
    if (!error || error->childText(QStringLiteral("Code")).isEmpty())
        return statusError(httpStatus, QStringLiteral("Unable to parse the error document of an "
                                                      "HTTP %1 response.")
                                           .arg(httpStatus));
    return errorFromName(error->childText(QStringLiteral("Code")),
                         error->childText(QStringLiteral("Message")), httpStatus);
}

AwsError jsonError(int httpStatus, const QByteArray &errorTypeHeader, const QByteArray &body)
{
    if (body.trimmed().isEmpty() && errorTypeHeader.isEmpty())
        return bodylessError(httpStatus);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    const QJsonObject object = document.object();
    if (!body.trimmed().isEmpty() && !document.isObject()) {
        return AwsError{ErrorType::Unknown, QString(),
                        QStringLiteral("Failed to parse error payload: ") +
                            parseError.errorString(),
                        httpStatus};
    }
    QString name = QString::fromUtf8(errorTypeHeader);
    if (name.isEmpty())
        name = object.value(QStringLiteral("__type")).toString();
    if (name.isEmpty())
        name = object.value(QStringLiteral("code")).toString();
    QString message = object.value(QStringLiteral("Message")).toString();
    if (message.isEmpty())
        message = object.value(QStringLiteral("message")).toString();
    if (name.isEmpty())
        return statusError(httpStatus, message);
    return errorFromName(name, message, httpStatus);
}

} // namespace Brenn_AWS::aws
