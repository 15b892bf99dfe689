#pragma once

#include <Brenn_AWS/Structs.h>
#include <Brenn_AWS/Type.h>

#include "aws/CurlRuntime.h"
#include "aws/StsClient.h"

#include <memory>

namespace Brenn_AWS {

// The work behind Token_Service: single-user mode keeps one STS client, multi-user mode builds
// one per call.
class Token_Service_Private
{
public:
    Token_Service_Private(Type type, const QString &location, const QString &accessKeyId,
                          const QString &secretKey);
    Token_Service_Private();
    ~Token_Service_Private();

    STSInfo AssumeRole(const QString &roleArn, const QString &roleSessionName,
                       const QString &policy);
    STSInfo AssumeRole(Type type, const QString &location, const QString &accessKeyId,
                       const QString &secretKey, const QString &roleArn,
                       const QString &roleSessionName, const QString &policy);

private:
    static std::unique_ptr<aws::StsClient> newClient(Type type, const QString &location,
                                                     const QString &accessKeyId,
                                                     const QString &secretKey);
    void CheckSingleUser() const;
    void CheckMultiUser() const;
    STSInfo AssumeRole(aws::StsClient &client, const QString &roleArn,
                       const QString &roleSessionName, const QString &policy);

    bool singleUser;
    aws::CurlRuntime curlRuntime;
    std::unique_ptr<aws::StsClient> client;
};

} // namespace Brenn_AWS
