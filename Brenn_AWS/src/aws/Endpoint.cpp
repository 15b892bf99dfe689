#include "Endpoint.h"

#include <QtGlobal>

namespace Brenn_AWS::aws {

Endpoint Endpoint::fromLocation(const QString &location, const QString &region)
{
    Endpoint endpoint;
    endpoint.region = region;
    endpoint.scheme = "http";
    QString rest = location;
    if (rest.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
        endpoint.scheme = "https";
        rest = rest.mid(8);
    } else if (rest.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)) {
        rest = rest.mid(7);
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    endpoint.host = (slash < 0 ? rest : rest.left(slash)).toUtf8();
    if (slash >= 0) {
        QByteArray path = rest.mid(slash).toUtf8();
        while (path.endsWith('/'))
            path.chop(1);
        endpoint.basePath = path;
    }
    return endpoint;
}

Endpoint Endpoint::regional(const QString &service, const QString &region)
{
    Endpoint endpoint;
    endpoint.region = region;
    endpoint.host =
        (service + QLatin1Char('.') + region + QLatin1String(".amazonaws.com")).toUtf8();
    return endpoint;
}

QString Endpoint::regionFromEnvironment()
{
    for (const char *variable : {"AWS_REGION", "AWS_DEFAULT_REGION"}) {
        const QString region = qEnvironmentVariable(variable).trimmed();
        if (!region.isEmpty())
            return region;
    }
    return QStringLiteral("us-east-1");
}

std::optional<Endpoint> Endpoint::fromEnvironmentUrl(const QString &service, const QString &region)
{
    const QByteArray serviceVariable = "AWS_ENDPOINT_URL_" + service.toUpper().toLatin1();
    for (const char *variable : {serviceVariable.constData(), "AWS_ENDPOINT_URL"}) {
        const QString url = qEnvironmentVariable(variable).trimmed();
        if (!url.isEmpty())
            return fromLocation(url, region);
    }
    return std::nullopt;
}

Endpoint Endpoint::fromEnvironment(const QString &service)
{
    const QString region = regionFromEnvironment();
    return fromEnvironmentUrl(service, region).value_or(regional(service, region));
}

} // namespace Brenn_AWS::aws
