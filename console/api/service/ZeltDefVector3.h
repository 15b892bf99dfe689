#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// A position, rotation or scale.
// clang-format off
#define ZELT_DEF_VECTOR3_FIELDS(FIELD) \
    FIELD(float, x, X, "x", Optional) \
    FIELD(float, y, Y, "y", Optional) \
    FIELD(float, z, Z, "z", Optional)
// clang-format on

class ZeltDefVector3 : public ZeltModel<ZeltDefVector3>
{
    ZELT_MODEL(ZeltDefVector3, ZELT_DEF_VECTOR3_FIELDS)
};

#undef ZELT_DEF_VECTOR3_FIELDS

} // namespace Zelt_Service_API
