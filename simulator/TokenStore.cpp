#include "TokenStore.h"

#include "RandomText.h"

namespace VorelSim {

void TokenStore::setLifetimes(qint64 accessSeconds, qint64 refreshSeconds)
{
    m_accessLifetime = accessSeconds;
    m_refreshLifetime = refreshSeconds;
}

TokenSet TokenStore::openSession(const QString &userId)
{
    const QString sessionState = RandomText::uuid();
    m_sessions.insert(sessionState, {userId, true});
    return issue(sessionState);
}

std::optional<TokenSet> TokenStore::refresh(const QString &refreshToken)
{
    const auto found = m_refreshTokens.constFind(refreshToken);
    if (found == m_refreshTokens.constEnd() || !isLive(*found))
        return std::nullopt;
    return issue(found->sessionState);
}

bool TokenStore::logout(const QString &refreshToken)
{
    const auto found = m_refreshTokens.constFind(refreshToken);
    if (found == m_refreshTokens.constEnd() || !isLive(*found))
        return false;
    m_sessions[found->sessionState].alive = false;
    return true;
}

QString TokenStore::userOfAccessToken(const QString &accessToken) const
{
    const auto found = m_accessTokens.constFind(accessToken);
    if (found == m_accessTokens.constEnd() || !isLive(*found))
        return {};
    return m_sessions.value(found->sessionState).userId;
}

void TokenStore::expireAccessTokens(const QString &userId)
{
    const QDateTime past = m_clock.now().addSecs(-1);
    for (Token &token : m_accessTokens) {
        if (m_sessions.value(token.sessionState).userId == userId)
            token.expiry = past;
    }
}

void TokenStore::endSessions(const QString &userId)
{
    for (Session &session : m_sessions) {
        if (session.userId == userId)
            session.alive = false;
    }
}

TokenSet TokenStore::issue(const QString &sessionState)
{
    const QDateTime now = m_clock.now();
    TokenSet set;
    set.accessToken = RandomText::token(48);
    set.refreshToken = RandomText::token(64);
    set.sessionState = sessionState;
    set.expiresIn = m_accessLifetime;
    set.refreshExpiresIn = m_refreshLifetime;
    m_accessTokens.insert(set.accessToken, {sessionState, now.addSecs(m_accessLifetime)});
    m_refreshTokens.insert(set.refreshToken, {sessionState, now.addSecs(m_refreshLifetime)});
    return set;
}

bool TokenStore::isLive(const Token &token) const
{
    return m_sessions.value(token.sessionState).alive && m_clock.now() < token.expiry;
}

} // namespace VorelSim
