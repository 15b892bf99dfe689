#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// Temporary object storage credentials, with the bucket and endpoint to use them with.
// clang-format off
#define ZELT_S3_TEMP_ACCESS_KEY_FIELDS(FIELD) \
    FIELD(QString, accessKeyId,     AccessKeyId,     "AccessKeyId",     Optional) \
    FIELD(QString, secretAccessKey, SecretAccessKey, "SecretAccessKey", Optional) \
    FIELD(QString, sessionToken,    SessionToken,    "SessionToken",    Optional) \
    FIELD(QString, assumedRoleId,   AssumedRoleId,   "AssumedRoleId",   Optional) \
    FIELD(QString, arn,             Arn,             "Arn",             Optional) \
    FIELD(QString, expiration,      Expiration,      "Expiration",      Optional) \
    FIELD(QString, bucket,          Bucket,          "Bucket",          Optional) \
    FIELD(QString, endpoint,        Endpoint,        "Endpoint",        Optional)
// clang-format on

class ZeltS3TempAccessKey : public ZeltModel<ZeltS3TempAccessKey>
{
    ZELT_MODEL(ZeltS3TempAccessKey, ZELT_S3_TEMP_ACCESS_KEY_FIELDS)
};

#undef ZELT_S3_TEMP_ACCESS_KEY_FIELDS

} // namespace Zelt_Service_API
