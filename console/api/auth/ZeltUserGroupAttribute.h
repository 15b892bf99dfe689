#pragma once

#include "Zelt_AuthService_API.h"

namespace Zelt_AuthService_API {

// One named attribute of a group.
// clang-format off
#define ZELT_USER_GROUP_ATTRIBUTE_FIELDS(FIELD) \
    FIELD(QString,        key,   Key,   "key",   Optional) \
    FIELD(QList<QString>, value, Value, "value", Optional)
// clang-format on

class ZeltUserGroupAttribute : public ZeltModel<ZeltUserGroupAttribute>
{
    ZELT_MODEL(ZeltUserGroupAttribute, ZELT_USER_GROUP_ATTRIBUTE_FIELDS)
};

#undef ZELT_USER_GROUP_ATTRIBUTE_FIELDS

} // namespace Zelt_AuthService_API
