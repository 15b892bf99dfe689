#pragma once

namespace Brenn_AWS::aws {

// libcurl's process-wide initialisation, held by every facade object: the first holder
// initialises, the last one cleans up, whichever threads they live on.
class CurlRuntime
{
public:
    CurlRuntime();
    ~CurlRuntime();
    CurlRuntime(const CurlRuntime &) = delete;
    CurlRuntime &operator=(const CurlRuntime &) = delete;
};

} // namespace Brenn_AWS::aws
