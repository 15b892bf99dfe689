#pragma once

#include "ZeltCommonApi.h"

// The meeting service's namespace, with the shared request machinery under its own names.
namespace Zelt_MeetingService_API {
ZELT_USE_COMMON_API
} // namespace Zelt_MeetingService_API
