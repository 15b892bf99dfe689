#include <Brenn_AWS/Token_Service.h>

#include "Token_Service_Private.h"

namespace Brenn_AWS {

Token_Service::Token_Service(Type type, const QString &location, const QString &accessKeyId,
                             const QString &secretKey)
    : d(new Token_Service_Private(type, location, accessKeyId, secretKey))
{
}

Token_Service::Token_Service() : d(new Token_Service_Private()) {}

Token_Service::~Token_Service()
{
    delete d;
}

STSInfo Token_Service::AssumeRole(const QString &roleArn, const QString &roleSessionName,
                                  const QString &policy)
{
    return d->AssumeRole(roleArn, roleSessionName, policy);
}

STSInfo Token_Service::AssumeRole(Type type, const QString &location, const QString &accessKeyId,
                                  const QString &secretKey, const QString &roleArn,
                                  const QString &roleSessionName, const QString &policy)
{
    return d->AssumeRole(type, location, accessKeyId, secretKey, roleArn, roleSessionName, policy);
}

} // namespace Brenn_AWS
