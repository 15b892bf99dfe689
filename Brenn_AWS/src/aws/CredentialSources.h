#pragma once

#include "Signer.h"

#include <optional>

namespace Brenn_AWS::aws {

// The standard AWS credential sources, in the usual order: AWS_ACCESS_KEY_ID,
// AWS_SECRET_ACCESS_KEY and AWS_SESSION_TOKEN; then the shared credentials file
// (AWS_SHARED_CREDENTIALS_FILE or ~/.aws/credentials), profile AWS_PROFILE or "default".
std::optional<Credentials> defaultCredentials();

} // namespace Brenn_AWS::aws
