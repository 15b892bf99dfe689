#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// A user name and password pair.
// clang-format off
#define ZELT_DEF_CREDENTIALS_FIELDS(FIELD) \
    FIELD(QString, user, User, "User", Optional) \
    FIELD(QString, pass, Pass, "Pass", Optional)
// clang-format on

class ZeltDefCredentials : public ZeltModel<ZeltDefCredentials>
{
    ZELT_MODEL(ZeltDefCredentials, ZELT_DEF_CREDENTIALS_FIELDS)
};

#undef ZELT_DEF_CREDENTIALS_FIELDS

} // namespace Zelt_Service_API
