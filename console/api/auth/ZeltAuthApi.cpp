#include "ZeltAuthApi.h"

namespace Zelt_AuthService_API {

void ZeltAuthApi::authGroupsGet(const QString &realm, const QString &prefix)
{
    send(call("GET", "/auth/groups").query("realm", realm).query("prefix", prefix),
         ZELT_OPERATION_SIGNALS(ZeltAuthApi, authGroupsGet));
}

void ZeltAuthApi::authLoginPost(const QString &client, const QString &username,
                                const QString &password, const QString &passwordold)
{
    send(call("POST", "/auth/login")
             .form("client", client)
             .form("username", username)
             .form("password", password)
             .form("passwordold", passwordold),
         ZELT_OPERATION_SIGNALS(ZeltAuthApi, authLoginPost));
}

void ZeltAuthApi::authLogoutPost(const QString &refresh_token)
{
    send(call("POST", "/auth/logout").form("refresh_token", refresh_token),
         ZELT_OPERATION_SIGNALS(ZeltAuthApi, authLogoutPost));
}

void ZeltAuthApi::authPasswordResetPost(const QString &id, const QString &client,
                                        const QString &username, const QString &password,
                                        const QString &passwordold)
{
    send(call("PATCH", "/auth/user/{id}/pwdreset")
             .path("id", id)
             .form("client", client)
             .form("username", username)
             .form("password", password)
             .form("passwordold", passwordold),
         ZELT_OPERATION_SIGNALS(ZeltAuthApi, authPasswordResetPost));
}

void ZeltAuthApi::authRefreshPost(const QString &realm, const QString &token)
{
    send(call("POST", "/auth/refreshtoken").form("realm", realm).form("token", token),
         ZELT_OPERATION_SIGNALS(ZeltAuthApi, authRefreshPost));
}

void ZeltAuthApi::authUserGet(const QString &client, const QString &clientAuth,
                              const QString &clientApp)
{
    send(call("GET", "/auth/user")
             .query("client", client)
             .query("clientAuth", clientAuth)
             .query("clientApp", clientApp),
         ZELT_OPERATION_SIGNALS(ZeltAuthApi, authUserGet));
}

} // namespace Zelt_AuthService_API
