#pragma once

#include "ZeltUserGroupAttribute.h"
#include "Zelt_AuthService_API.h"

namespace Zelt_AuthService_API {

// A group, possibly with nested groups.
// clang-format off
#define ZELT_USER_GROUP_FIELDS(FIELD) \
    FIELD(QString,                       id,         Id,         "id",         Optional) \
    FIELD(QString,                       name,       Name,       "name",       Optional) \
    FIELD(QList<ZeltUserGroupAttribute>, attributes, Attributes, "attributes", Optional) \
    FIELD(QList<ZeltUserGroup>,          subGroups,  SubGroups,  "subGroups",  Optional)
// clang-format on

class ZeltUserGroup : public ZeltModel<ZeltUserGroup>
{
    ZELT_MODEL(ZeltUserGroup, ZELT_USER_GROUP_FIELDS)
};

#undef ZELT_USER_GROUP_FIELDS

} // namespace Zelt_AuthService_API
