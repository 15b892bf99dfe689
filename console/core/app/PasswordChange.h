#pragma once

#include "Zelt_LoginData.h"
#include "auth/ZeltAuth.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <optional>

// What the change-password dialog decides without widgets: whether the form may be sent, what a
// refusal from the auth service means to the user, and how the reply's tokens replace the old.
class PasswordChange
{
    Q_DECLARE_TR_FUNCTIONS(PasswordChange)

public:
    static constexpr int MinimumLength = 8;

    // The first reason the fields cannot be sent, in the order the user should fix them;
    // nothing when they can.
    static std::optional<QString> refusal(const QString &current, const QString &newPassword,
                                          const QString &confirmation);
    // The message for a failed change, from the request's error text.
    static QString failureText(const QString &errorText);
    // Takes over the tokens the reply carries; the others stay. False without an access token.
    static bool takeTokens(Zelt_LoginData &session, const Zelt_AuthService_API::ZeltAuth &reply,
                           const QDateTime &now);
};
