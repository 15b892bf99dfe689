#pragma once

#include "ZeltMeeting.h"
#include "Zelt_MeetingService_API.h"

#include <QList>
#include <QNetworkReply>
#include <QString>

namespace Zelt_MeetingService_API {

// The meeting service, which stores the meeting definitions. Starting or stopping a meeting is
// an update of its "status".
class ZeltMeetingApi : public ZeltApiClient
{
    Q_OBJECT

public:
    using ZeltApiClient::ZeltApiClient;

    void createMeeting(const ZeltMeeting &body);
    void deleteMeeting(const QString &meetingId);
    void getMeetings(const QString &creator);
    void updateMeeting(const QString &meetingId, const ZeltMeeting &body);

signals:
    void createMeetingSignal(ZeltMeeting summary);
    void createMeetingSignalFull(ZeltHttpRequestWorker *worker, ZeltMeeting summary);
    void createMeetingSignalE(ZeltMeeting summary, QNetworkReply::NetworkError error_type,
                              QString error_str);
    void createMeetingSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void deleteMeetingSignal();
    void deleteMeetingSignalFull(ZeltHttpRequestWorker *worker);
    void deleteMeetingSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void deleteMeetingSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void getMeetingsSignal(QList<ZeltMeeting> summary);
    void getMeetingsSignalFull(ZeltHttpRequestWorker *worker, QList<ZeltMeeting> summary);
    void getMeetingsSignalE(QList<ZeltMeeting> summary, QNetworkReply::NetworkError error_type,
                            QString error_str);
    void getMeetingsSignalEFull(ZeltHttpRequestWorker *worker,
                                QNetworkReply::NetworkError error_type, QString error_str);

    void updateMeetingSignal(ZeltMeeting summary);
    void updateMeetingSignalFull(ZeltHttpRequestWorker *worker, ZeltMeeting summary);
    void updateMeetingSignalE(ZeltMeeting summary, QNetworkReply::NetworkError error_type,
                              QString error_str);
    void updateMeetingSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);
};

} // namespace Zelt_MeetingService_API
