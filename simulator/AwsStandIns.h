#pragma once

#include "Router.h"
#include "ServiceContext.h"

namespace VorelSim {

// STS AssumeRole (query protocol, XML replies) and Translate TranslateText (JSON 1.1), both
// at POST "/" below their base as on their own hosts, told apart by X-Amz-Target. Signatures
// are not verified, but a SigV4 Authorization header must be present.
class AwsStandIns
{
public:
    explicit AwsStandIns(ServiceContext &context) : m_context(context) {}
    void addRoutes(Router &router, const QString &base);

private:
    HttpReply dispatch(const HttpRequest &request) const;
    HttpReply assumeRole(const HttpRequest &request) const;
    HttpReply translateText(const HttpRequest &request) const;

    static HttpReply stsError(int status, const QString &type, const QString &code,
                              const QString &message);
    static HttpReply jsonError(int status, const QString &type, const QString &message,
                               const QJsonObject &extra = {});
    static bool isSigned(const HttpRequest &request);

    ServiceContext &m_context;
};

} // namespace VorelSim
