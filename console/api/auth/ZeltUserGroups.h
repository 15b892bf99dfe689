#pragma once

#include "ZeltUserGroup.h"
#include "Zelt_AuthService_API.h"

namespace Zelt_AuthService_API {

// The groups of one user.
// clang-format off
#define ZELT_USER_GROUPS_FIELDS(FIELD) \
    FIELD(QString,              userId, UserId, "userId", Optional) \
    FIELD(QList<ZeltUserGroup>, groups, Groups, "groups", Optional)
// clang-format on

class ZeltUserGroups : public ZeltModel<ZeltUserGroups>
{
    ZELT_MODEL(ZeltUserGroups, ZELT_USER_GROUPS_FIELDS)
};

#undef ZELT_USER_GROUPS_FIELDS

} // namespace Zelt_AuthService_API
