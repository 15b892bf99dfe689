#include "PasswordChange.h"

std::optional<QString> PasswordChange::refusal(const QString &current, const QString &newPassword,
                                               const QString &confirmation)
{
    if (current.isEmpty())
        return tr("Current Password field is empty");
    if (newPassword.isEmpty())
        return tr("New Password field is empty");
    if (confirmation.isEmpty())
        return tr("Password Confirmation field is empty");
    if (confirmation != newPassword)
        return tr("Password Confirmation doesn't match New Password");
    if (newPassword.size() < MinimumLength)
        return tr("Password is too short (minimum is 8 characters)");
    return std::nullopt;
}

QString PasswordChange::failureText(const QString &errorText)
{
    // The service names a wrong current password only in its error message.
    if (errorText.contains(QLatin1String("invalid user credentials"), Qt::CaseInsensitive))
        return tr("The password you have entered is wrong. Your password was not changed.");
    return tr("Unknown error changing password.");
}

bool PasswordChange::takeTokens(Zelt_LoginData &session,
                                const Zelt_AuthService_API::ZeltAuth &reply, const QDateTime &now)
{
    if (reply.isAccessTokenSet())
        session.accessToken = reply.accessToken();
    if (reply.isRefreshTokenSet())
        session.refreshToken = reply.refreshToken();
    if (reply.isExpiresInSet())
        session.tokenExpiry = now.addSecs(reply.expiresIn());
    return reply.isAccessTokenSet();
}
