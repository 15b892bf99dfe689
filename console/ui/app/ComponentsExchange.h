#pragma once

#include "service/ZeltMeetingInfo.h"
#include "service/Zelt_Service_API.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;
namespace Zelt_Service_API {
class ZeltMeetingServiceApi;
}

// The Export and Import buttons of the components panel: a meeting's components to a file, and
// a file's components into a meeting on the service. Replies reach the service client's own
// listeners, so the panel refreshes as after any other change.
class ComponentsExchange : public QObject
{
    Q_OBJECT

public:
    // service and window are borrowed; window owns the exchange and carries its dialogs.
    ComponentsExchange(Zelt_Service_API::ZeltMeetingServiceApi *service, QWidget *window);

    // Asks for the kinds and the file, and writes the meeting's components to it.
    void exportMeeting(const Zelt_Service_API::ZeltMeetingInfo &info);
    // Asks for a file and adds its components to the meeting info belongs to.
    void importInto(const Zelt_Service_API::ZeltMeetingInfo &info);

private:
    void onMeetingInfoWritten(Zelt_Service_API::ZeltHttpRequestWorker *request);
    void addAssets(const QString &meetingId, const QList<Zelt_Service_API::ZeltAsset> &assets);

    Zelt_Service_API::ZeltMeetingServiceApi *service;
    QWidget *window;
    struct WaitingAssets
    {
        // The import's own info write; other writes (mute, presenter, spawn points) share the
        // client and must not release the assets. Null once the request was dropped unanswered.
        QPointer<Zelt_Service_API::ZeltHttpRequestWorker> request;
        QString meetingId;
        QList<Zelt_Service_API::ZeltAsset> assets;
    };
    // Assets wait for the meeting info to be written first: the info replaces the meeting's
    // assets with its own list, which would drop assets added before it.
    QList<WaitingAssets> waiting;
};
