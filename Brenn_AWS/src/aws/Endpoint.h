#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Brenn_AWS::aws {

// Where a client sends its requests and the region it signs for.
struct Endpoint
{
    QByteArray scheme = "https";
    QByteArray host;     // host[:port]
    QByteArray basePath; // path below which the service lives, "" or "/x" without a final "/"
    QString region;

    // "https://" (any case) selects HTTPS and is cut off, "http://" is cut off, anything else is
    // taken as it stands with HTTP; the rest is host, optional port and path.
    static Endpoint fromLocation(const QString &location, const QString &region);
    // https://<service>.<region>.amazonaws.com
    static Endpoint regional(const QString &service, const QString &region);
    // AWS_ENDPOINT_URL_<SERVICE>, else AWS_ENDPOINT_URL, else the regional endpoint; the region
    // from AWS_REGION, else AWS_DEFAULT_REGION, else "us-east-1".
    static Endpoint fromEnvironment(const QString &service);
    // The endpoint of AWS_ENDPOINT_URL_<SERVICE>, else AWS_ENDPOINT_URL, signing for `region`;
    // nothing when neither is set.
    static std::optional<Endpoint> fromEnvironmentUrl(const QString &service,
                                                      const QString &region);
    static QString regionFromEnvironment();

    bool operator==(const Endpoint &other) const
    {
        return scheme == other.scheme && host == other.host && basePath == other.basePath &&
               region == other.region;
    }
};

} // namespace Brenn_AWS::aws
