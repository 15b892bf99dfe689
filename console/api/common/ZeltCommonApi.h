#pragma once

#include "ZeltApiCall.h"
#include "ZeltApiClient.h"
#include "ZeltField.h"
#include "ZeltHttpFileElement.h"
#include "ZeltHttpRequestInput.h"
#include "ZeltHttpRequestWorker.h"
#include "ZeltJsonConversions.h"
#include "ZeltModel.h"
#include "ZeltObject.h"

// Makes the one request machinery of Zelt_Common_API available under the same names inside a
// service namespace (Zelt_AuthService_API, Zelt_MeetingService_API, Zelt_Service_API), so each
// namespace offers its ZeltHttpRequestWorker, ZeltObject and conversions without a copy of them.
#define ZELT_USE_COMMON_API                                                                        \
    using Zelt_Common_API::ZeltHttpRequestVarLayout;                                               \
    using Zelt_Common_API::NOT_SET;                                                                \
    using Zelt_Common_API::ADDRESS;                                                                \
    using Zelt_Common_API::URL_ENCODED;                                                            \
    using Zelt_Common_API::MULTIPART;                                                              \
    using Zelt_Common_API::ZeltHttpFileElement;                                                    \
    using Zelt_Common_API::ZeltHttpRequestInput;                                                   \
    using Zelt_Common_API::ZeltHttpRequestWorker;                                                  \
    using Zelt_Common_API::ZeltObject;                                                             \
    using Zelt_Common_API::ZeltModel;                                                              \
    using Zelt_Common_API::ZeltField;                                                              \
    using Zelt_Common_API::ZeltApiCall;                                                            \
    using Zelt_Common_API::ZeltApiClient;                                                          \
    using Zelt_Common_API::fromJsonValue;                                                          \
    using Zelt_Common_API::toJsonValue;                                                            \
    using Zelt_Common_API::fromStringValue;                                                        \
    using Zelt_Common_API::toStringValue;
