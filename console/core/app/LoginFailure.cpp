#include "LoginFailure.h"

#include "auth/ZeltError.h"

namespace LoginFailure {

Kind of(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ProtocolInvalidOperationError: // 400, as OAuth answers a wrong password
    case QNetworkReply::AuthenticationRequiredError:   // 401
    case QNetworkReply::ContentAccessDenied:           // 403
        return Kind::Refused;
    case QNetworkReply::ProtocolUnknownError: // no usable address: the ini names none
        return Kind::Unreachable;
    default:
        break;
    }
    // Qt numbers the errors of the connection and of proxies below 200, HTTP answers above.
    return error < QNetworkReply::ContentAccessDenied ? Kind::Unreachable : Kind::ServiceError;
}

QString detail(const QString &errorText)
{
    const QString words = errorText.section(QStringLiteral(", "), 0, 0);
    const auto error = Zelt_AuthService_API::ZeltError::fromErrorText(errorText);
    return error.isValid() ? QStringLiteral("%1 (%2)").arg(words, error.message()) : words;
}

} // namespace LoginFailure
