#pragma once

#include "SimClock.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

namespace VorelSim {

struct TokenSet
{
    QString accessToken;
    QString refreshToken;
    QString sessionState;
    qint64 expiresIn = 0;
    qint64 refreshExpiresIn = 0;
};

// Sessions and their tokens, as an OAuth-style identity service keeps them: a login opens a
// session; refresh tokens of a live session yield new token pairs (older ones stay usable until
// they expire); logout or a forced end kills the session with all its tokens.
class TokenStore
{
public:
    explicit TokenStore(const SimClock &clock) : m_clock(clock) {}

    void setLifetimes(qint64 accessSeconds, qint64 refreshSeconds);
    qint64 accessLifetime() const { return m_accessLifetime; }

    TokenSet openSession(const QString &userId);
    std::optional<TokenSet> refresh(const QString &refreshToken);
    bool logout(const QString &refreshToken);

    // The user id behind a live access token, or empty.
    QString userOfAccessToken(const QString &accessToken) const;

    // Every access token of the user is dead at once; its sessions can still refresh.
    void expireAccessTokens(const QString &userId);
    // Every session of the user ends: its access and refresh tokens are dead.
    void endSessions(const QString &userId);

private:
    struct Token
    {
        QString sessionState;
        QDateTime expiry;
    };
    struct Session
    {
        QString userId;
        bool alive = true;
    };

    TokenSet issue(const QString &sessionState);
    bool isLive(const Token &token) const;

    const SimClock &m_clock;
    qint64 m_accessLifetime = 300;
    qint64 m_refreshLifetime = 1800;
    QHash<QString, Session> m_sessions;
    QHash<QString, Token> m_accessTokens;
    QHash<QString, Token> m_refreshTokens;
};

} // namespace VorelSim
