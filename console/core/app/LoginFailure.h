#pragma once

#include <QNetworkReply>

// What a failed login request tells the user: the password was refused, the service could not
// be reached, or the service failed. Only a refusal may blame the password.
namespace LoginFailure {

enum class Kind
{
    Refused,
    Unreachable,
    ServiceError,
};

Kind of(QNetworkReply::NetworkError error);

// The network's own words from a failed request's text, without the answer's body that the
// client appends after ", " (an HTML page has no place in a message box).
QString reason(const QString &errorText);

} // namespace LoginFailure
