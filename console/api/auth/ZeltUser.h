#pragma once

#include "Zelt_AuthService_API.h"

namespace Zelt_AuthService_API {

// The logged-in user's profile.
// clang-format off
#define ZELT_USER_FIELDS(FIELD) \
    FIELD(QString,        id,        Id,        "id",        Optional) \
    FIELD(QString,        userId,    UserId,    "userId",    Optional) \
    FIELD(QString,        company,   Company,   "company",   Optional) \
    FIELD(QString,        firstName, FirstName, "firstName", Optional) \
    FIELD(QString,        lastName,  LastName,  "lastName",  Optional) \
    FIELD(QString,        email,     Email,     "email",     Optional) \
    FIELD(QString,        phone,     Phone,     "phone",     Optional) \
    FIELD(QString,        status,    Status,    "status",    Optional) \
    FIELD(QList<QString>, roles,     Roles,     "roles",     Optional) \
    FIELD(QDate,          created,   Created,   "created",   Optional)
// clang-format on

class ZeltUser : public ZeltModel<ZeltUser>
{
    ZELT_MODEL(ZeltUser, ZELT_USER_FIELDS)
};

#undef ZELT_USER_FIELDS

} // namespace Zelt_AuthService_API
