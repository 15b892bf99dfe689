#include "AuthService.h"

namespace VorelSim {

void AuthService::addRoutes(Router &router, const QString &base)
{
    const QString auth = base + QStringLiteral("/auth");
    router.add("POST", auth + QStringLiteral("/login"), QStringLiteral("authLoginPost"),
               [this](const HttpRequest &request, const QStringList &) { return login(request); });
    router.add("POST", auth + QStringLiteral("/logout"), QStringLiteral("authLogoutPost"),
               [this](const HttpRequest &request, const QStringList &) { return logout(request); });
    router.add(
        "POST", auth + QStringLiteral("/refreshtoken"), QStringLiteral("authRefreshPost"),
        [this](const HttpRequest &request, const QStringList &) { return refresh(request); });
    router.add("GET", auth + QStringLiteral("/user"), QStringLiteral("authUserGet"),
               [this](const HttpRequest &request, const QStringList &) { return user(request); });
    router.add("GET", auth + QStringLiteral("/groups"), QStringLiteral("authGroupsGet"),
               [this](const HttpRequest &request, const QStringList &) { return groups(request); });
    router.add("PATCH", auth + QStringLiteral("/user/{}/pwdreset"),
               QStringLiteral("authPasswordResetPost"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return changePassword(request, params.at(0));
               });
}

HttpReply AuthService::login(const HttpRequest &request)
{
    QMap<QString, QString> form;
    HttpReply error;
    if (!readForm(
            request,
            {QStringLiteral("client"), QStringLiteral("username"), QStringLiteral("password")},
            &form, &error))
        return error;
    if (form.value(QStringLiteral("client")) != client)
        return errorReply(401, QStringLiteral("Invalid client or client credentials"), source);
    const QString userName = form.value(QStringLiteral("username"));
    const User *account = m_context.state.userByLogin(userName);
    if (!account || account->password != form.value(QStringLiteral("password"))) {
        m_context.log(QStringLiteral("WARN"),
                      QStringLiteral("Failed login for '%1'").arg(userName));
        return errorReply(401, QStringLiteral("invalid user credentials"), source);
    }
    m_context.log(QStringLiteral("INFO"), QStringLiteral("User %1 logged in").arg(account->userId));
    return jsonReply(tokenJson(m_context.tokens.openSession(account->id)));
}

HttpReply AuthService::logout(const HttpRequest &request)
{
    QMap<QString, QString> form;
    HttpReply error;
    if (!readForm(request, {QStringLiteral("refresh_token")}, &form, &error))
        return error;
    if (!m_context.tokens.logout(form.value(QStringLiteral("refresh_token"))))
        return errorReply(400, QStringLiteral("Token is not active"), source);
    return emptyReply(204);
}

HttpReply AuthService::refresh(const HttpRequest &request)
{
    QMap<QString, QString> form;
    HttpReply error;
    if (!readForm(request, {QStringLiteral("realm"), QStringLiteral("token")}, &form, &error))
        return error;
    if (form.value(QStringLiteral("realm")) != realm)
        return errorReply(404, QStringLiteral("Realm does not exist"), source);
    const auto tokens = m_context.tokens.refresh(form.value(QStringLiteral("token")));
    if (!tokens)
        return errorReply(400, QStringLiteral("Token is not active"), source);
    return jsonReply(tokenJson(*tokens));
}

HttpReply AuthService::user(const HttpRequest &request)
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    return jsonReply(caller->toJson());
}

HttpReply AuthService::groups(const HttpRequest &request)
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    if (!request.hasQueryItem(QStringLiteral("realm")))
        return errorReply(400, QStringLiteral("Missing query parameter: realm"), source);
    if (request.queryValue(QStringLiteral("realm")) != realm)
        return errorReply(404, QStringLiteral("Realm does not exist"), source);
    const QString prefix = request.queryValue(QStringLiteral("prefix"));
    QJsonArray groups;
    for (const QString &name : caller->groups) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            groups.append(m_context.state.group(name));
    }
    return jsonReply(
        QJsonObject{{QStringLiteral("userId"), caller->id}, {QStringLiteral("groups"), groups}});
}

HttpReply AuthService::changePassword(const HttpRequest &request, const QString &id)
{
    QMap<QString, QString> form;
    HttpReply error;
    if (!readForm(request,
                  {QStringLiteral("client"), QStringLiteral("username"), QStringLiteral("password"),
                   QStringLiteral("passwordold")},
                  &form, &error))
        return error;
    if (form.value(QStringLiteral("client")) != client)
        return errorReply(401, QStringLiteral("Invalid client or client credentials"), source);
    User *account = m_context.state.mutableUserById(id);
    if (!account)
        return errorReply(404, QStringLiteral("User not found"), source);
    if (account->userId.compare(form.value(QStringLiteral("username")), Qt::CaseInsensitive) != 0)
        return errorReply(400, QStringLiteral("User name does not match the account"), source);
    if (account->password != form.value(QStringLiteral("passwordold")))
        return errorReply(401, QStringLiteral("invalid user credentials"), source);
    const QString password = form.value(QStringLiteral("password"));
    if (password.size() < 8)
        return errorReply(400, QStringLiteral("Invalid password: minimum length 8."), source);
    account->password = password;
    m_context.log(QStringLiteral("INFO"),
                  QStringLiteral("User %1 changed the password").arg(account->userId));
    return jsonReply(tokenJson(m_context.tokens.openSession(account->id)));
}

bool AuthService::readForm(const HttpRequest &request, const QStringList &required,
                           QMap<QString, QString> *form, HttpReply *error) const
{
    if (!request.hasFormContentType()) {
        *error = errorReply(
            400, QStringLiteral("Expected an application/x-www-form-urlencoded body"), source);
        return false;
    }
    *form = request.form();
    for (const QString &name : required) {
        if (!form->contains(name) || form->value(name).isEmpty()) {
            *error =
                errorReply(400, QStringLiteral("Missing form parameter: %1").arg(name), source);
            return false;
        }
    }
    return true;
}

QJsonObject AuthService::tokenJson(const TokenSet &tokens)
{
    return {{QStringLiteral("access_token"), tokens.accessToken},
            {QStringLiteral("expires_in"), tokens.expiresIn},
            {QStringLiteral("refresh_expires_in"), tokens.refreshExpiresIn},
            {QStringLiteral("refresh_token"), tokens.refreshToken},
            {QStringLiteral("token_type"), QStringLiteral("Bearer")},
            {QStringLiteral("not-before-policy"), 0},
            {QStringLiteral("session_state"), tokens.sessionState},
            {QStringLiteral("scope"), QStringLiteral("openid profile email")}};
}

} // namespace VorelSim
