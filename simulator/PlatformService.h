#pragma once

#include "Router.h"
#include "ServiceContext.h"

namespace VorelSim {

// The main service's service-wide endpoints: status, reload, published versions with their
// installer downloads, temporary storage credentials, the service log, the banlist and the
// asset bundles.
class PlatformService
{
public:
    static inline const QString source = QStringLiteral("zelt-service");

    explicit PlatformService(ServiceContext &context) : m_context(context) {}
    void addRoutes(Router &router, const QString &base);

    // The installers live here, below the server's root.
    static inline const QString downloadPath = QStringLiteral("/downloads");

private:
    HttpReply status() const;
    HttpReply reload(const HttpRequest &request);
    HttpReply versions() const;
    HttpReply download(const QString &fileName) const;
    HttpReply storageToken(const HttpRequest &request) const;
    HttpReply serviceLog(const HttpRequest &request) const;
    HttpReply banlist(const HttpRequest &request) const;
    HttpReply addBan(const HttpRequest &request);
    HttpReply deleteBan(const HttpRequest &request);
    HttpReply bundles(const HttpRequest &request) const;
    HttpReply postBundle(const HttpRequest &request);
    HttpReply deleteBundle(const HttpRequest &request);

    bool maySeeBundle(const User &caller, const QJsonObject &bundle) const;
    bool mayChangeBundle(const User &caller, const QJsonObject &bundle) const;
    bool nameTaken(const QString &name, const QString &ownerId, const QString &exceptId) const;
    QString absoluteUrl(const QString &url) const;

    ServiceContext &m_context;
};

} // namespace VorelSim
