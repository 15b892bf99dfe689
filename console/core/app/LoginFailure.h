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

// What a failed request's text tells the user: the network's own words and, where the service
// sent its error object, that error's message; never the raw body that follows them (an HTML
// page has no place in a message box).
QString detail(const QString &errorText);

} // namespace LoginFailure
