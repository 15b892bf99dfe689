#pragma once

#include "Zelt_AuthService_API.h"

namespace Zelt_AuthService_API {

// The token set of a login, refresh or password change; every member is required.
// clang-format off
#define ZELT_AUTH_FIELDS(FIELD) \
    FIELD(QString, accessToken,      AccessToken,      "access_token",       Required) \
    FIELD(qint64,  expiresIn,        ExpiresIn,        "expires_in",         Required) \
    FIELD(qint64,  refreshExpiresIn, RefreshExpiresIn, "refresh_expires_in", Required) \
    FIELD(QString, refreshToken,     RefreshToken,     "refresh_token",      Required) \
    FIELD(QString, tokenType,        TokenType,        "token_type",         Required) \
    FIELD(qint32,  notBeforePolicy,  NotBeforePolicy,  "not-before-policy",  Required) \
    FIELD(QString, sessionState,     SessionState,     "session_state",      Required) \
    FIELD(QString, scope,            Scope,            "scope",              Required)
// clang-format on

class ZeltAuth : public ZeltModel<ZeltAuth>
{
    ZELT_MODEL(ZeltAuth, ZELT_AUTH_FIELDS)
};

#undef ZELT_AUTH_FIELDS

} // namespace Zelt_AuthService_API
