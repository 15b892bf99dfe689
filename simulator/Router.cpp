#include "Router.h"

namespace VorelSim {

void Router::add(const QByteArray &method, const QString &pattern, const QString &operation,
                 Handler handler)
{
    m_routes.push_back({method, splitPath(pattern), operation, std::move(handler)});
}

Router::Match Router::match(const HttpRequest &request) const
{
    Match result;
    for (const Route &route : m_routes) {
        const auto params = matchPattern(route.pattern, request.segments);
        if (!params)
            continue;
        result.pathKnown = true;
        if (route.method == request.method) {
            result.route = &route;
            result.params = *params;
            return result;
        }
    }
    return result;
}

QStringList Router::splitPath(const QString &path)
{
    QStringList segments = path.split(QLatin1Char('/'));
    // Keep empty inner segments ("/meeting//info" names an empty meeting id), drop the
    // leading one and a trailing one.
    if (!segments.isEmpty() && segments.first().isEmpty())
        segments.removeFirst();
    if (!segments.isEmpty() && segments.last().isEmpty())
        segments.removeLast();
    return segments;
}

std::optional<QStringList> Router::matchPattern(const QStringList &pattern,
                                                const QStringList &segments)
{
    if (pattern.size() != segments.size())
        return std::nullopt;
    QStringList params;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1String("{}"))
            params.append(segments.at(i));
        else if (pattern.at(i) != segments.at(i))
            return std::nullopt;
    }
    return params;
}

} // namespace VorelSim
