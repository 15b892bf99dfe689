#pragma once

#include "Zelt_MeetingService_API.h"

namespace Zelt_MeetingService_API {

// A meeting's presenter.
// clang-format off
#define ZELT_PRESENTER_FIELDS(FIELD) \
    FIELD(QString, name,  Name,  "name",  Optional) \
    FIELD(QString, email, Email, "email", Optional)
// clang-format on

class ZeltPresenter : public ZeltModel<ZeltPresenter>
{
    ZELT_MODEL(ZeltPresenter, ZELT_PRESENTER_FIELDS)
};

#undef ZELT_PRESENTER_FIELDS

} // namespace Zelt_MeetingService_API
