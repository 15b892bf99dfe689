#include "Token_Service_Private.h"

#include "FacadeSupport.h"

namespace Brenn_AWS {

namespace {

// The expiry to the whole second, in UTC.
QDateTime expirationOf(const QString &iso)
{
    const QDateTime parsed = QDateTime::fromString(iso, Qt::ISODateWithMs).toUTC();
    const QTime time = parsed.time();
    return QDateTime(parsed.date(), QTime(time.hour(), time.minute(), time.second()), Qt::UTC);
}

} // namespace

Token_Service_Private::Token_Service_Private(Type type, const QString &location,
                                             const QString &accessKeyId, const QString &secretKey)
    : singleUser(true), client(newClient(type, location, accessKeyId, secretKey))
{
}

Token_Service_Private::Token_Service_Private() : singleUser(false) {}

Token_Service_Private::~Token_Service_Private() = default;

std::unique_ptr<aws::StsClient> Token_Service_Private::newClient(Type type, const QString &location,
                                                                 const QString &accessKeyId,
                                                                 const QString &secretKey)
{
    aws::TransportOptions options; // the usual SDK time-outs
    options.connectTimeoutMs = 1000;
    options.requestTimeoutMs = 3000;
    options.verifyTls = false;
    return std::make_unique<aws::StsClient>(endpointFor(type, QStringLiteral("sts"), location),
                                            aws::Credentials{accessKeyId, secretKey, QString()},
                                            options);
}

void Token_Service_Private::CheckSingleUser() const
{
    checkMode(singleUser, true);
}

void Token_Service_Private::CheckMultiUser() const
{
    checkMode(singleUser, false);
}

STSInfo Token_Service_Private::AssumeRole(const QString &roleArn, const QString &roleSessionName,
                                          const QString &policy)
{
    CheckSingleUser();
    return AssumeRole(*client, roleArn, roleSessionName, policy);
}

STSInfo Token_Service_Private::AssumeRole(Type type, const QString &location,
                                          const QString &accessKeyId, const QString &secretKey,
                                          const QString &roleArn, const QString &roleSessionName,
                                          const QString &policy)
{
    CheckMultiUser();
    const auto callClient = newClient(type, location, accessKeyId, secretKey);
    return AssumeRole(*callClient, roleArn, roleSessionName, policy);
}

STSInfo Token_Service_Private::AssumeRole(aws::StsClient &client, const QString &roleArn,
                                          const QString &roleSessionName, const QString &policy)
{
    const aws::AssumedRole role = valueOrThrow(client.assumeRole(roleArn, roleSessionName, policy));
    return STSInfo{role.accessKeyId,   role.secretAccessKey,
                   role.sessionToken,  expirationOf(role.expiration),
                   role.assumedRoleId, role.arn};
}

} // namespace Brenn_AWS
