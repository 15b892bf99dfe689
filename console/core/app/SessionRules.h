#pragma once

#include "Zelt_LoginData.h"
#include "auth/ZeltUserGroups.h"
#include "service/ZeltS3TempAccessKey.h"

// How the session record takes what the services hand out at and after login.
namespace SessionRules {

// The company and the storage configuration from the first group and its last "S3_Config..."
// subgroup; false when there is no such subgroup.
bool takeStorageConfiguration(Zelt_LoginData &session,
                              const Zelt_AuthService_API::ZeltUserGroups &groups);

// Temporary storage credentials for MinIO or Amazon S3 ("Arn"); administrators see the whole
// bucket. False, with the session untouched, when the credentials are unusable.
bool takeTemporaryCredentials(Zelt_LoginData &session,
                              const Zelt_Service_API::ZeltS3TempAccessKey &token);

} // namespace SessionRules
