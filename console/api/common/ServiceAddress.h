#pragma once

#include <QString>

// Where a REST client sends its requests, derived from a configured host URL and service path.
struct ServiceAddress
{
    QString scheme;
    QString host;
    int port = 0;
    QString basePath;

    // The URL's port, else 443 for "https" and 80 otherwise; base path = URL path + service path.
    static ServiceAddress fromConfig(const QString &hostUrl, const QString &servicePath);
};
