#pragma once

#include "ZeltAsset.h"
#include "ZeltBanlistEntry.h"
#include "ZeltMeetingCommand.h"
#include "ZeltMeetingCommandResponse.h"
#include "ZeltMeetingInfo.h"
#include "ZeltS3TempAccessKey.h"
#include "ZeltVersions.h"
#include "Zelt_Service_API.h"

#include <QList>
#include <QNetworkReply>
#include <QString>

namespace Zelt_Service_API {

// The main service, all but asset bundles: live meeting state and its update, assets, banlist,
// meeting commands, log files, temporary storage credentials, status, update and versions.
class ZeltMeetingServiceApi : public ZeltApiClient
{
    Q_OBJECT

public:
    using ZeltApiClient::ZeltApiClient;

    void assetAdd(const QString &meetingId, const ZeltAsset &body);
    void assetDelete(const QString &meetingId, qint32 assetId);
    void banlistDelete(qint32 banlistId);
    void banlistGet();
    void banlistPost(const ZeltBanlistEntry &body);
    void meetingCommand(const QString &meetingId, const ZeltMeetingCommand &body);
    // These answer with the request's worker: its replies come through the ...Full signals with it.
    ZeltHttpRequestWorker *meetingInfo(const QString &meetingId);
    ZeltHttpRequestWorker *meetingInfoUpdate(const QString &meetingId, const ZeltMeetingInfo &body);
    void meetingLogfile(const QString &meetingId, qint32 count);
    void s3TempAccessKey();
    void serviceLogfile(qint32 count);
    ZeltHttpRequestWorker *serviceMeetings();
    ZeltHttpRequestWorker *serviceStatus();
    void serviceUpdate();
    void serviceVersions();

signals:
    void assetAddSignal(ZeltAsset summary);
    void assetAddSignalFull(ZeltHttpRequestWorker *worker, ZeltAsset summary);
    void assetAddSignalE(ZeltAsset summary, QNetworkReply::NetworkError error_type,
                         QString error_str);
    void assetAddSignalEFull(ZeltHttpRequestWorker *worker, QNetworkReply::NetworkError error_type,
                             QString error_str);

    void assetDeleteSignal();
    void assetDeleteSignalFull(ZeltHttpRequestWorker *worker);
    void assetDeleteSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void assetDeleteSignalEFull(ZeltHttpRequestWorker *worker,
                                QNetworkReply::NetworkError error_type, QString error_str);

    void banlistDeleteSignal(qint32 summary);
    void banlistDeleteSignalFull(ZeltHttpRequestWorker *worker, qint32 summary);
    void banlistDeleteSignalE(qint32 summary, QNetworkReply::NetworkError error_type,
                              QString error_str);
    void banlistDeleteSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void banlistGetSignal(QList<ZeltBanlistEntry> summary);
    void banlistGetSignalFull(ZeltHttpRequestWorker *worker, QList<ZeltBanlistEntry> summary);
    void banlistGetSignalE(QList<ZeltBanlistEntry> summary, QNetworkReply::NetworkError error_type,
                           QString error_str);
    void banlistGetSignalEFull(ZeltHttpRequestWorker *worker,
                               QNetworkReply::NetworkError error_type, QString error_str);

    void banlistPostSignal(qint32 summary);
    void banlistPostSignalFull(ZeltHttpRequestWorker *worker, qint32 summary);
    void banlistPostSignalE(qint32 summary, QNetworkReply::NetworkError error_type,
                            QString error_str);
    void banlistPostSignalEFull(ZeltHttpRequestWorker *worker,
                                QNetworkReply::NetworkError error_type, QString error_str);

    void meetingCommandSignal(ZeltMeetingCommandResponse summary);
    void meetingCommandSignalFull(ZeltHttpRequestWorker *worker,
                                  ZeltMeetingCommandResponse summary);
    void meetingCommandSignalE(ZeltMeetingCommandResponse summary,
                               QNetworkReply::NetworkError error_type, QString error_str);
    void meetingCommandSignalEFull(ZeltHttpRequestWorker *worker,
                                   QNetworkReply::NetworkError error_type, QString error_str);

    void meetingInfoSignal(ZeltMeetingInfo summary);
    void meetingInfoSignalFull(ZeltHttpRequestWorker *worker, ZeltMeetingInfo summary);
    void meetingInfoSignalE(ZeltMeetingInfo summary, QNetworkReply::NetworkError error_type,
                            QString error_str);
    void meetingInfoSignalEFull(ZeltHttpRequestWorker *worker,
                                QNetworkReply::NetworkError error_type, QString error_str);

    void meetingInfoUpdateSignal();
    void meetingInfoUpdateSignalFull(ZeltHttpRequestWorker *worker);
    void meetingInfoUpdateSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void meetingInfoUpdateSignalEFull(ZeltHttpRequestWorker *worker,
                                      QNetworkReply::NetworkError error_type, QString error_str);

    void meetingLogfileSignal(QString summary);
    void meetingLogfileSignalFull(ZeltHttpRequestWorker *worker, QString summary);
    void meetingLogfileSignalE(QString summary, QNetworkReply::NetworkError error_type,
                               QString error_str);
    void meetingLogfileSignalEFull(ZeltHttpRequestWorker *worker,
                                   QNetworkReply::NetworkError error_type, QString error_str);

    void s3TempAccessKeySignal(ZeltS3TempAccessKey summary);
    void s3TempAccessKeySignalFull(ZeltHttpRequestWorker *worker, ZeltS3TempAccessKey summary);
    void s3TempAccessKeySignalE(ZeltS3TempAccessKey summary, QNetworkReply::NetworkError error_type,
                                QString error_str);
    void s3TempAccessKeySignalEFull(ZeltHttpRequestWorker *worker,
                                    QNetworkReply::NetworkError error_type, QString error_str);

    void serviceLogfileSignal(QString summary);
    void serviceLogfileSignalFull(ZeltHttpRequestWorker *worker, QString summary);
    void serviceLogfileSignalE(QString summary, QNetworkReply::NetworkError error_type,
                               QString error_str);
    void serviceLogfileSignalEFull(ZeltHttpRequestWorker *worker,
                                   QNetworkReply::NetworkError error_type, QString error_str);

    void serviceMeetingsSignal(QList<ZeltMeetingInfo> summary);
    void serviceMeetingsSignalFull(ZeltHttpRequestWorker *worker, QList<ZeltMeetingInfo> summary);
    void serviceMeetingsSignalE(QList<ZeltMeetingInfo> summary,
                                QNetworkReply::NetworkError error_type, QString error_str);
    void serviceMeetingsSignalEFull(ZeltHttpRequestWorker *worker,
                                    QNetworkReply::NetworkError error_type, QString error_str);

    void serviceStatusSignal();
    void serviceStatusSignalFull(ZeltHttpRequestWorker *worker);
    void serviceStatusSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void serviceStatusSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void serviceUpdateSignal();
    void serviceUpdateSignalFull(ZeltHttpRequestWorker *worker);
    void serviceUpdateSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void serviceUpdateSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void serviceVersionsSignal(ZeltVersions summary);
    void serviceVersionsSignalFull(ZeltHttpRequestWorker *worker, ZeltVersions summary);
    void serviceVersionsSignalE(ZeltVersions summary, QNetworkReply::NetworkError error_type,
                                QString error_str);
    void serviceVersionsSignalEFull(ZeltHttpRequestWorker *worker,
                                    QNetworkReply::NetworkError error_type, QString error_str);
};

} // namespace Zelt_Service_API
