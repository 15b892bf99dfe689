#include "CurlRuntime.h"

#include <curl/curl.h>

#include <mutex>

namespace Brenn_AWS::aws {

namespace {
std::mutex holdersMutex;
int holders = 0;
} // namespace

CurlRuntime::CurlRuntime()
{
    const std::lock_guard<std::mutex> lock(holdersMutex);
    if (holders++ == 0)
        curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlRuntime::~CurlRuntime()
{
    const std::lock_guard<std::mutex> lock(holdersMutex);
    if (--holders == 0)
        curl_global_cleanup();
}

} // namespace Brenn_AWS::aws
