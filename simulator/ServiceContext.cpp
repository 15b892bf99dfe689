#include "ServiceContext.h"

namespace VorelSim {

const User *ServiceContext::authenticate(const HttpRequest &request, const QString &source,
                                         HttpReply *denied) const
{
    const QByteArray authorization = request.header("Authorization");
    const QByteArray scheme = "Bearer ";
    if (!authorization.startsWith(scheme)) {
        *denied = errorReply(401, QStringLiteral("Missing bearer token"), source);
        return nullptr;
    }
    const QString token = QString::fromUtf8(authorization.mid(scheme.size()).trimmed());
    const User *user = state.userById(tokens.userOfAccessToken(token));
    if (!user)
        *denied = errorReply(401, QStringLiteral("Access token is invalid or has expired"), source);
    return user;
}

bool ServiceContext::readLineCount(const HttpRequest &request, const QString &source, int *count,
                                   HttpReply *error)
{
    bool ok = false;
    *count = request.queryValue(QStringLiteral("count")).toInt(&ok);
    if (!ok || *count < 0) {
        *error = errorReply(400, QStringLiteral("Query parameter count must be a number from 0 up"),
                            source);
        return false;
    }
    return true;
}

} // namespace VorelSim
