#pragma once

#include <Brenn_AWS/Brenn_AWS_Global.h>
#include <Brenn_AWS/QAWSException.h>
#include <Brenn_AWS/Structs.h>
#include <Brenn_AWS/Type.h>

#include <QString>

namespace Brenn_AWS {

class Token_Service_Private;

// Temporary credentials through STS AssumeRole, in single-user or multi-user mode like
// Storage_S3. Without a location (or with another type) the endpoint and region come from
// AWS_ENDPOINT_URL_STS, AWS_ENDPOINT_URL and AWS_REGION.
class BRENN_AWS_EXPORT Token_Service
{
public:
    Token_Service(Type type, const QString &location, const QString &accessKeyId,
                  const QString &secretKey);
    Token_Service();
    ~Token_Service();
    Token_Service(const Token_Service &) = delete;
    Token_Service &operator=(const Token_Service &) = delete;

    // The policy is sent only when it is not empty.
    STSInfo AssumeRole(const QString &roleArn, const QString &roleSessionName,
                       const QString &policy);
    STSInfo AssumeRole(Type type, const QString &location, const QString &accessKeyId,
                       const QString &secretKey, const QString &roleArn,
                       const QString &roleSessionName, const QString &policy);

private:
    Token_Service_Private *d;
};

} // namespace Brenn_AWS
