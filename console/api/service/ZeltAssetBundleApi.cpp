#include "ZeltAssetBundleApi.h"

namespace Zelt_Service_API {

void ZeltAssetBundleApi::assetBundleDelete(const QString &bundleId)
{
    send(call("DELETE", "/zelt/svc/assetbundle").query("bundleId", bundleId),
         ZELT_OPERATION_SIGNALS(ZeltAssetBundleApi, assetBundleDelete));
}

void ZeltAssetBundleApi::assetBundleGet(const QString &bundleId)
{
    send(call("GET", "/zelt/svc/assetbundle").query("bundleId", bundleId),
         ZELT_OPERATION_SIGNALS(ZeltAssetBundleApi, assetBundleGet));
}

void ZeltAssetBundleApi::assetBundlePost(const ZeltAssetBundle &body)
{
    send(call("POST", "/zelt/svc/assetbundle").body(body),
         ZELT_OPERATION_SIGNALS(ZeltAssetBundleApi, assetBundlePost));
}

} // namespace Zelt_Service_API
