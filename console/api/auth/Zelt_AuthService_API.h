#pragma once

#include "ZeltCommonApi.h"

// The authentication service's namespace, with the shared request machinery under its own names.
namespace Zelt_AuthService_API {
ZELT_USE_COMMON_API
} // namespace Zelt_AuthService_API
