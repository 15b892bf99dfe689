#include "ComponentsController.h"

#include "ComponentRows.h"
#include "LogCategories.h"
#include "Prompt.h"
#include "Zelt_AssetBundles.h"
#include "Zelt_AssetPropertiesDialog.h"
#include "Zelt_Components.h"
#include "Zelt_CustomURLInputDialog.h"
#include "Zelt_LoginData.h"
#include "Zelt_Meetings.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_NextCloud.h"
#include "Zelt_S3.h"
#include "auth/ZeltError.h"
#include "service/ZeltMeetingServiceApi.h"

#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTableWidgetItem>

using namespace Zelt_Service_API;

namespace {
QList<QJsonObject> filesOf(const QList<QTableWidgetItem *> &items)
{
    QList<QJsonObject> files;
    for (const QTableWidgetItem *item : items)
        files.append(item->data(Qt::UserRole).toJsonObject());
    return files;
}
} // namespace

ComponentsController::ComponentsController(const Parts &parts, QObject *parent)
    : QObject(parent), parts(parts)
{
}

QString ComponentsController::selectedMeetingId() const
{
    const auto meeting = parts.meetings->currentMeeting();
    if (!meeting.isMeetingIdSet() || !meeting.isMeetingIdValid())
        return {};
    return meeting.meetingId();
}

QWidget *ComponentsController::activeBrowser() const
{
    switch (parts.session->storageMode) {
    case Zelt_LoginData::NextCloud:
        return parts.nextCloudBrowser;
    case Zelt_LoginData::MinIO:
    case Zelt_LoginData::AmazonS3:
        return parts.s3Browser;
    default:
        return nullptr;
    }
}

bool ComponentsController::browserHasSelection() const
{
    QWidget *browser = activeBrowser();
    if (browser == parts.s3Browser)
        return !parts.s3Browser->selectedItems().isEmpty();
    if (browser == parts.nextCloudBrowser)
        return !parts.nextCloudBrowser->selectedItems().isEmpty();
    return false;
}

void ComponentsController::refreshButtons()
{
    const bool meetingReady = parts.serviceRunning() && !selectedMeetingId().isEmpty();
    parts.fileArea->setEnabled(meetingReady);

    QWidget *tab = parts.tabs->currentWidget();
    const bool storageTab = tab && tab == activeBrowser();
    const bool bundlesTab = tab && tab == parts.bundlesPanel;
    bool hasSelection = false;
    if (storageTab)
        hasSelection = browserHasSelection();
    else if (bundlesTab)
        hasSelection = parts.bundlesPanel->selectedCount() > 0;
    parts.panel->setButtonStates(meetingReady, hasSelection);
    if (storageTab && tab == parts.s3Browser)
        parts.s3Browser->setDeleteEnabled(hasSelection);
    else if (bundlesTab)
        parts.bundlesPanel->setDeleteEnabled(hasSelection);
}

void ComponentsController::loadMeeting()
{
    const QString meetingId = selectedMeetingId();
    if (!meetingId.isEmpty()) {
        shownMeetingId = meetingId;
        parts.panel->clearRows();
        parts.serviceApi->meetingInfo(meetingId);
    }
    refreshButtons();
}

void ComponentsController::onMeetingInfo(ZeltMeetingInfo summary)
{
    // A late reply for the meeting selected before would show the wrong components.
    if (summary.isMeetingIdSet() && !shownMeetingId.isEmpty() &&
        summary.meetingId().compare(shownMeetingId, Qt::CaseInsensitive) != 0)
        return;
    info = summary;
    parts.panel->showRows(ComponentRows::rowsOf(info, parts.session->storageFolder));
    refreshButtons();
}

void ComponentsController::onMeetingInfoE(ZeltMeetingInfo, QNetworkReply::NetworkError error_type,
                                          QString)
{
    qCDebug(lcSrv) << "Error getting MeetingInfo:"
                   << "NetworkError" << error_type;
}

void ComponentsController::onMeetingInfoUpdated()
{
    loadMeeting();
    parts.infoThread->getMeetingsInfo();
}

void ComponentsController::onMeetingInfoUpdateE(QNetworkReply::NetworkError error_type, QString)
{
    qCDebug(lcSrv) << Q_FUNC_INFO << "NetworkError" << error_type;
}

void ComponentsController::writeMeetingInfo(const ZeltMeetingInfo &changed)
{
    parts.serviceApi->meetingInfoUpdate(changed.meetingId(), changed);
}

// --- Adding ---

void ComponentsController::addSelection()
{
    QWidget *tab = parts.tabs->currentWidget();
    if (tab && tab == activeBrowser())
        addFiles();
    else if (tab && tab == parts.bundlesPanel)
        addBundle();
}

ZeltDefCredentials ComponentsController::s3Credentials() const
{
    ZeltDefCredentials credentials;
    credentials.setUser(parts.s3Browser->accessKey());
    credentials.setPass(parts.s3Browser->secretKey());
    return credentials;
}

QList<QJsonObject> ComponentsController::takeSelectedFiles(ComponentAssets::StorageOrigin &origin)
{
    origin.mode = parts.session->storageMode;
    QList<QJsonObject> files;
    QWidget *browser = activeBrowser();
    if (browser == parts.nextCloudBrowser) {
        origin.credentials.setUser(parts.nextCloudBrowser->userName());
        origin.credentials.setPass(parts.nextCloudBrowser->password());
        files = filesOf(parts.nextCloudBrowser->selectedItems());
        parts.nextCloudBrowser->clearSelection();
    } else if (browser == parts.s3Browser) {
        origin.credentials = s3Credentials();
        origin.host = parts.s3Browser->storageHost();
        origin.bucket = parts.s3Browser->currentBucket();
        files = filesOf(parts.s3Browser->selectedItems());
        parts.s3Browser->clearSelection();
    }
    return files;
}

void ComponentsController::send(const ZeltAsset &asset)
{
    parts.serviceApi->assetAdd(selectedMeetingId(), asset);
}

void ComponentsController::addFiles()
{
    if (selectedMeetingId().isEmpty())
        return;
    ComponentAssets::StorageOrigin origin;
    const QList<QJsonObject> files = takeSelectedFiles(origin);
    QSet<qint32> used = ComponentAssets::placeholderIdsInUse(info);
    for (const QJsonObject &file : files) {
        ZeltAsset asset = ComponentAssets::fromBrowserItem(file, origin);
        if (ComponentAssets::isModelFile(file.value(QStringLiteral("path")).toString())) {
            send(asset);
            continue;
        }
        const QString name = file.value(QStringLiteral("name")).toString();
        const auto slot = Prompt::current().integer(parts.window, name, tr("Placeholder ID:"),
                                                    ComponentAssets::smallestFreeSlot(used), 1,
                                                    ComponentAssets::LastSlot, 1);
        if (!slot) {
            Prompt::information(parts.window, tr("Item skipped"), tr("%1 not added").arg(name));
            continue;
        }
        asset.setId(ComponentRows::PlaceholderBase + *slot);
        used.insert(asset.id());
        send(asset);
    }
}

void ComponentsController::addBundle()
{
    if (parts.bundlesPanel->selectedCount() == 0 || selectedMeetingId().isEmpty())
        return;
    if (!info.assetBundles().isEmpty()) {
        Prompt::critical(parts.window, tr("Cannot add Asset Bundle"),
                         tr("Only one Asset Bundle can be assigned per Meeting."));
        return;
    }
    int code = 0;
    const ZeltAssetBundle bundle = parts.bundlesPanel->selectedBundle(&code);
    if (code != 0) {
        Prompt::critical(parts.window, tr("Cannot add Asset Bundle"),
                         tr("Unknown Error finding Asset Bundle ID."));
        return;
    }
    info.setAssetBundles({bundle});
    writeMeetingInfo(info);
}

void ComponentsController::addCustomUrl()
{
    if (selectedMeetingId().isEmpty())
        return;
    QString url;
    int id = ComponentAssets::proposedCustomUrlSlot(ComponentAssets::placeholderIdsInUse(info));
    bool accepted = false;
    Zelt_CustomURLInputDialog dialog(parts.window, url, id, accepted);
    dialog.exec();
    if (accepted && !url.isEmpty() && ComponentAssets::isPlaceholderId(id))
        send(ComponentAssets::fromCustomUrl(url, id));
}

void ComponentsController::putAsset(const ZeltAsset &asset)
{
    // The service replaces an asset of the same id, so must the copy here.
    QList<ZeltAsset> assets = info.assets();
    auto same = std::find_if(assets.begin(), assets.end(),
                             [&asset](const ZeltAsset &a) { return a.id() == asset.id(); });
    if (same != assets.end())
        *same = asset;
    else
        assets.append(asset);
    info.setAssets(assets);
}

void ComponentsController::onAssetAdd(ZeltAsset asset)
{
    putAsset(asset);
    parts.panel->putRow(ComponentRows::assetRow(asset, parts.session->storageFolder));
    refreshButtons();
}

void ComponentsController::onAssetAddE(ZeltAsset, QNetworkReply::NetworkError, QString error_str)
{
    // Refusals of a batch arrive while the first one is shown: one box is enough.
    if (addErrorShowing)
        return;
    QScopedValueRollback<bool> showing(addErrorShowing, true);
    const auto error = Zelt_AuthService_API::ZeltError::fromErrorText(error_str);
    Prompt::critical(parts.window, tr("Error during operation"),
                     tr("Error trying to add asset to meeting: %1").arg(error.message()));
}

// --- Properties ---

void ComponentsController::showProperties()
{
    if (!parts.panel->propertiesAvailable() || selectedMeetingId().isEmpty() ||
        parts.panel->selectedRows().size() > 1)
        return;
    const auto current = parts.panel->currentRow();
    if (!current)
        return;
    loadMeeting();
    parts.panel->selectAfterRebuild(current->id);

    const QList<ZeltAsset> assets = info.assets();
    const auto found = std::find_if(assets.begin(), assets.end(), [&current](const ZeltAsset &a) {
        return a.id() == current->id;
    });
    if (found == assets.end())
        return;
    Zelt_AssetPropertiesDialog dialog(parts.window, *found);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ZeltAsset edited = dialog.editedAsset();
    edited.setStgCredentials(s3Credentials());
    send(edited);
}

// --- Removing ---

void ComponentsController::remove(const QList<Zelt_Components::RowRef> &rows)
{
    // Assets first: the info written back for a bundle must not bring them back.
    QStringList bundleIds;
    for (const auto &row : rows) {
        parts.panel->removeRows(row.id);
        if (row.id == ComponentRows::BundleRowId) {
            bundleIds.append(row.bundleId);
            continue;
        }
        parts.serviceApi->assetDelete(shownMeetingId, row.id);
        QList<ZeltAsset> assets = info.assets();
        assets.removeIf([&row](const ZeltAsset &a) { return a.id() == row.id; });
        info.setAssets(assets);
    }
    if (!bundleIds.isEmpty()) {
        QList<ZeltAssetBundle> bundles = info.assetBundles();
        bundles.removeIf(
            [&bundleIds](const ZeltAssetBundle &b) { return bundleIds.contains(b.id()); });
        info.setAssetBundles(bundles);
        writeMeetingInfo(info);
    }
    parts.panel->clearCurrent();
    refreshButtons();
}

void ComponentsController::removeSelected()
{
    remove(parts.panel->selectedRows());
}

void ComponentsController::removeAll()
{
    remove(parts.panel->allRows());
}

void ComponentsController::onAssetDelete()
{
    refreshButtons();
}

// --- Banlist ---

void ComponentsController::banSelectedFiles()
{
    QString text = tr("The following files have been added to the Banlist:\n");
    for (const QJsonObject &file : filesOf(parts.s3Browser->selectedItems())) {
        const auto entry = ComponentAssets::banlistEntry(file);
        if (!entry)
            continue;
        parts.infoThread->addBanlistEntry(*entry);
        text += entry->filename() + QLatin1Char('\n');
    }
    Prompt::information(parts.window, tr("Files added to Banlist"), text);
}
