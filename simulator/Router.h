#pragma once

#include "HttpExchange.h"

#include <functional>
#include <optional>
#include <vector>

namespace VorelSim {

// Maps method and path to a handler. Patterns are paths whose "{}" segments match any one
// segment; the matched segments reach the handler in order. Every route carries the name of
// the client operation it serves, which fault injection and the request record use.
class Router
{
public:
    using Handler = std::function<HttpReply(const HttpRequest &, const QStringList &params)>;

    struct Route
    {
        QByteArray method;
        QStringList pattern;
        QString operation;
        Handler handler;
    };

    struct Match
    {
        const Route *route = nullptr;
        QStringList params;
        bool pathKnown = false; // some route has this path, perhaps with another method
    };

    void add(const QByteArray &method, const QString &pattern, const QString &operation,
             Handler handler);
    Match match(const HttpRequest &request) const;

    // "/a/b/" and "a//b" both give {"a", "b"}; a trailing empty segment is kept out.
    static QStringList splitPath(const QString &path);

private:
    static std::optional<QStringList> matchPattern(const QStringList &pattern,
                                                   const QStringList &segments);
    std::vector<Route> m_routes;
};

} // namespace VorelSim
