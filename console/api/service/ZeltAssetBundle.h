#pragma once

#include "Zelt_Service_API.h"

namespace Zelt_Service_API {

// A named set of stored files.
// clang-format off
#define ZELT_ASSET_BUNDLE_FIELDS(FIELD) \
    FIELD(QString,        id,            Id,            "Id",            Optional) \
    FIELD(QString,        userId,        UserId,        "UserId",        Optional) \
    FIELD(QString,        userName,      UserName,      "UserName",      Optional) \
    FIELD(QString,        name,          Name,          "Name",          Optional) \
    FIELD(qint32,         mode,          Mode,          "Mode",          Optional) \
    FIELD(QString,        stgRelPath,    StgRelPath,    "StgRelPath",    Optional) \
    FIELD(QList<qint64>,  stgSize,       StgSize,       "StgSize",       Optional) \
    FIELD(QList<QString>, stgPreSgnPath, StgPreSgnPath, "StgPreSgnPath", Optional) \
    FIELD(QList<QString>, stgChecksums,  StgChecksums,  "StgChecksums",  Optional)
// clang-format on

class ZeltAssetBundle : public ZeltModel<ZeltAssetBundle>
{
    ZELT_MODEL(ZeltAssetBundle, ZELT_ASSET_BUNDLE_FIELDS)
};

#undef ZELT_ASSET_BUNDLE_FIELDS

} // namespace Zelt_Service_API
