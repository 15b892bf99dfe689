#pragma once

#include "ComponentAssets.h"
#include "Zelt_Components.h"
#include "service/ZeltAsset.h"
#include "service/ZeltMeetingInfo.h"

#include <QJsonObject>
#include <QNetworkReply>
#include <QObject>

#include <functional>

class QTabWidget;
class QWidget;
class Zelt_AssetBundles;
class Zelt_Meetings;
class Zelt_MeetingsInfoThread;
class Zelt_NextCloud;
class Zelt_S3;
struct Zelt_LoginData;
namespace Zelt_Service_API {
class ZeltMeetingServiceApi;
}

// What the selected meeting contains, and the operations that change it with the main
// service: files from the storage browser, URL placeholders, the asset bundle, their
// properties, and banning stored files.
class ComponentsController : public QObject
{
    Q_OBJECT

public:
    // Borrowed, all of them.
    struct Parts
    {
        QWidget *window = nullptr; // parent of the dialogs
        Zelt_Components *panel = nullptr;
        QWidget *fileArea = nullptr;
        QTabWidget *tabs = nullptr;
        Zelt_Meetings *meetings = nullptr;
        Zelt_S3 *s3Browser = nullptr;
        Zelt_NextCloud *nextCloudBrowser = nullptr;
        Zelt_AssetBundles *bundlesPanel = nullptr;
        Zelt_MeetingsInfoThread *infoThread = nullptr;
        Zelt_Service_API::ZeltMeetingServiceApi *serviceApi = nullptr;
        const Zelt_LoginData *session = nullptr;
        std::function<bool()> serviceRunning;
    };

    explicit ComponentsController(const Parts &parts, QObject *parent = nullptr);

    // The selected meeting's last info from the service, with the local changes since.
    const Zelt_Service_API::ZeltMeetingInfo &meetingInfo() const { return info; }

public slots:
    void refreshButtons();
    // Empties the table and asks for the selected meeting's info.
    void loadMeeting();
    // Adds what the current tab has selected: files, or the asset bundle.
    void addSelection();
    void addFiles();
    void addBundle();
    void addCustomUrl();
    void showProperties();
    void removeSelected();
    void removeAll();
    void banSelectedFiles();
    void writeMeetingInfo(const Zelt_Service_API::ZeltMeetingInfo &changed);

    void onMeetingInfo(Zelt_Service_API::ZeltMeetingInfo summary);
    void onMeetingInfoE(Zelt_Service_API::ZeltMeetingInfo summary,
                        QNetworkReply::NetworkError error_type, QString error_str);
    void onMeetingInfoUpdated();
    void onMeetingInfoUpdateE(QNetworkReply::NetworkError error_type, QString error_str);
    void onAssetAdd(Zelt_Service_API::ZeltAsset asset);
    void onAssetAddE(Zelt_Service_API::ZeltAsset summary, QNetworkReply::NetworkError error_type,
                     QString error_str);
    void onAssetDelete();

private:
    QString selectedMeetingId() const;
    // The browser of the session's storage kind, or null.
    QWidget *activeBrowser() const;
    bool browserHasSelection() const;
    // The active browser's selected files (its selection is cleared) and where they are stored.
    QList<QJsonObject> takeSelectedFiles(ComponentAssets::StorageOrigin &origin);
    Zelt_Service_API::ZeltDefCredentials s3Credentials() const;
    void send(const Zelt_Service_API::ZeltAsset &asset);
    void remove(const QList<Zelt_Components::RowRef> &rows);
    void putAsset(const Zelt_Service_API::ZeltAsset &asset);

    Parts parts;
    Zelt_Service_API::ZeltMeetingInfo info;
    // The meeting whose components the table shows.
    QString shownMeetingId;
    bool addErrorShowing = false;
};
