#pragma once

#include "Outcome.h"
#include "ServiceClient.h"

namespace Brenn_AWS::aws {

struct AssumedRole
{
    QString accessKeyId;
    QString secretAccessKey;
    QString sessionToken;
    QString expiration; // ISO 8601 as sent
    QString assumedRoleId;
    QString arn;
};

// STS over the query protocol: a form-encoded POST, an XML reply.
class StsClient : public ServiceClient
{
public:
    StsClient(const Endpoint &endpoint, const Credentials &credentials,
              const TransportOptions &options = {});

    // The policy is sent only when it is not empty; no duration, so the service's default holds.
    Outcome<AssumedRole> assumeRole(const QString &roleArn, const QString &roleSessionName,
                                    const QString &policy);
};

Outcome<AssumedRole> parseAssumeRoleResponse(const QByteArray &body);

} // namespace Brenn_AWS::aws
