#include "SessionRules.h"

#include <optional>

using namespace Zelt_AuthService_API;
using Zelt_Service_API::ZeltS3TempAccessKey;

namespace {
bool is(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}
} // namespace

bool SessionRules::takeStorageConfiguration(Zelt_LoginData &session, const ZeltUserGroups &groups)
{
    const ZeltUserGroup group = groups.groups().first();
    session.company = group.name();

    std::optional<ZeltUserGroup> storageGroup;
    for (const ZeltUserGroup &subGroup : group.subGroups())
        if (subGroup.name().startsWith(QLatin1String("S3_Config"), Qt::CaseInsensitive))
            storageGroup = subGroup;
    if (!storageGroup)
        return false;

    for (const ZeltUserGroupAttribute &attribute : storageGroup->attributes()) {
        const QString key = attribute.key();
        const QString value = attribute.value().value(0);
        if (is(key, "Modus")) {
            if (is(value, "S3"))
                session.storageMode = Zelt_LoginData::AmazonS3;
            else if (is(value, "MINIO"))
                session.storageMode = Zelt_LoginData::MinIO;
            else if (is(value, "NextCloud"))
                session.storageMode = Zelt_LoginData::NextCloud;
        } else if (is(key, "User")) {
            session.storageUser = value;
        } else if (is(key, "Pass")) {
            session.storagePassword = value;
        } else if (is(key, "Folder")) {
            session.storageFolder = value;
        } else if (is(key, "Address")) {
            session.storageAddress = value;
        } else if (is(key, "Bucket")) {
            session.storageBucket = value;
        }
    }
    return true;
}

bool SessionRules::takeTemporaryCredentials(Zelt_LoginData &session,
                                            const ZeltS3TempAccessKey &token)
{
    const QString arn = token.arn();
    if (!token.isSet() || !token.isValid() || !(is(arn, "S3") || is(arn, "MINIO")))
        return false;
    session.storageMode = is(arn, "S3") ? Zelt_LoginData::AmazonS3 : Zelt_LoginData::MinIO;
    session.storagePassword = token.secretAccessKey();
    session.storageUser = token.accessKeyId();
    session.storageAddress = token.endpoint();
    session.storageFolder = session.isAdministrator() ? QString() : token.assumedRoleId();
    session.storageSessionToken = token.sessionToken();
    session.storageBucket = token.bucket();
    session.storageTokenExpiry = QDateTime::fromString(token.expiration(), Qt::TextDate);
    return true;
}
