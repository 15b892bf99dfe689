#pragma once

#include "ZeltCommonApi.h"

// The main service's namespace, with the shared request machinery under its own names.
namespace Zelt_Service_API {
ZELT_USE_COMMON_API
} // namespace Zelt_Service_API
