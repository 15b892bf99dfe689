#pragma once

#include "ZeltAssetBundle.h"
#include "Zelt_Service_API.h"

#include <QList>
#include <QNetworkReply>
#include <QString>

namespace Zelt_Service_API {

// The main service's asset bundles.
class ZeltAssetBundleApi : public ZeltApiClient
{
    Q_OBJECT

public:
    using ZeltApiClient::ZeltApiClient;

    void assetBundleDelete(const QString &bundleId);
    void assetBundleGet(const QString &bundleId);
    void assetBundlePost(const ZeltAssetBundle &body);

signals:
    void assetBundleDeleteSignal(QString summary);
    void assetBundleDeleteSignalFull(ZeltHttpRequestWorker *worker, QString summary);
    void assetBundleDeleteSignalE(QString summary, QNetworkReply::NetworkError error_type,
                                  QString error_str);
    void assetBundleDeleteSignalEFull(ZeltHttpRequestWorker *worker,
                                      QNetworkReply::NetworkError error_type, QString error_str);

    void assetBundleGetSignal(QList<ZeltAssetBundle> summary);
    void assetBundleGetSignalFull(ZeltHttpRequestWorker *worker, QList<ZeltAssetBundle> summary);
    void assetBundleGetSignalE(QList<ZeltAssetBundle> summary,
                               QNetworkReply::NetworkError error_type, QString error_str);
    void assetBundleGetSignalEFull(ZeltHttpRequestWorker *worker,
                                   QNetworkReply::NetworkError error_type, QString error_str);

    void assetBundlePostSignal(QString summary);
    void assetBundlePostSignalFull(ZeltHttpRequestWorker *worker, QString summary);
    void assetBundlePostSignalE(QString summary, QNetworkReply::NetworkError error_type,
                                QString error_str);
    void assetBundlePostSignalEFull(ZeltHttpRequestWorker *worker,
                                    QNetworkReply::NetworkError error_type, QString error_str);
};

} // namespace Zelt_Service_API
