#pragma once

#include "Router.h"
#include "ServiceContext.h"

namespace VorelSim {

// The authentication service under "/auth/": form logins answering OAuth-style token sets,
// refresh, logout, the user's profile and groups, and password changes.
class AuthService
{
public:
    static inline const QString source = QStringLiteral("auth-service");
    static inline const QString realm = QStringLiteral("Brenn");
    static inline const QString client = QStringLiteral("Brenn");

    explicit AuthService(ServiceContext &context) : m_context(context) {}
    void addRoutes(Router &router, const QString &base);

private:
    HttpReply login(const HttpRequest &request);
    HttpReply logout(const HttpRequest &request);
    HttpReply refresh(const HttpRequest &request);
    HttpReply user(const HttpRequest &request);
    HttpReply groups(const HttpRequest &request);
    HttpReply changePassword(const HttpRequest &request, const QString &id);

    // Checks the form body and its required members; on failure *error holds the reply.
    bool readForm(const HttpRequest &request, const QStringList &required,
                  QMap<QString, QString> *form, HttpReply *error) const;
    static QJsonObject tokenJson(const TokenSet &tokens);

    ServiceContext &m_context;
};

} // namespace VorelSim
