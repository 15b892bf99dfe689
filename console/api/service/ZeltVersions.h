#pragma once

#include "ZeltVersion.h"
#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// The current version of every client kind.
// clang-format off
#define ZELT_VERSIONS_FIELDS(FIELD) \
    FIELD(ZeltVersion, console,        Console,        "Console",        Optional) \
    FIELD(ZeltVersion, windowsDesktop, WindowsDesktop, "WindowsDesktop", Optional) \
    FIELD(ZeltVersion, windowsVR,      WindowsVR,      "WindowsVR",      Optional) \
    FIELD(ZeltVersion, android,        Android,        "Android",        Optional) \
    FIELD(ZeltVersion, iOS,            IOS,            "iOS",            Optional)
// clang-format on

class ZeltVersions : public ZeltModel<ZeltVersions>
{
    ZELT_MODEL(ZeltVersions, ZELT_VERSIONS_FIELDS)
};

#undef ZELT_VERSIONS_FIELDS

} // namespace Zelt_Service_API
