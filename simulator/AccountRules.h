#pragma once

#include "SimState.h"

namespace VorelSim {

// Who may see and change what, as the platform decides it: administrators everything, group
// administrators the meetings of the groups they belong to, everybody else their own.
namespace AccountRules {
bool shareGroup(const User &a, const User &b);
bool mayActForCreator(const SimState &state, const User &caller, const QString &creatorId);
bool mayManageMeeting(const SimState &state, const User &caller, const Meeting &meeting);

// The storage settings of an account: the last "S3_Config" subgroup of the first group that
// has one.
struct StorageProfile
{
    QString mode; // "S3", "MINIO", "NEXTCLOUD" as configured, upper case; empty: none
    QString folder;
};
StorageProfile storageOf(const SimState &state, const User &user);
} // namespace AccountRules

} // namespace VorelSim
