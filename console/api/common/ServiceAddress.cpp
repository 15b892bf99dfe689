#include "ServiceAddress.h"

#include <QUrl>

ServiceAddress ServiceAddress::fromConfig(const QString &hostUrl, const QString &servicePath)
{
    const QUrl url(hostUrl);
    ServiceAddress address;
    address.scheme = url.scheme();
    address.host = url.host();
    address.port = url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
    address.basePath = url.path() + servicePath;
    return address;
}
