#include "ComponentsExchange.h"

#include "ComponentsFile.h"
#include "Prompt.h"
#include "Zelt_ExportDialog.h"
#include "service/ZeltMeetingServiceApi.h"

#include <QStandardPaths>
#include <QWidget>

using namespace Zelt_Service_API;

ComponentsExchange::ComponentsExchange(ZeltMeetingServiceApi *service, QWidget *window)
    : QObject(window), service(service), window(window)
{
    connect(service, &ZeltMeetingServiceApi::meetingInfoUpdateSignalFull, this,
            &ComponentsExchange::onMeetingInfoWritten);
    connect(service, &ZeltMeetingServiceApi::meetingInfoUpdateSignalEFull, this,
            [this](ZeltHttpRequestWorker *request) { onMeetingInfoWritten(request); });
}

void ComponentsExchange::exportMeeting(const ZeltMeetingInfo &info)
{
    Zelt_ExportDialog dialog(&info, window);
    dialog.exec();
}

void ComponentsExchange::importInto(const ZeltMeetingInfo &info)
{
    const QString meetingId = info.meetingId();
    if (meetingId.isEmpty())
        return;
    const QString fileName = Prompt::current().openFileName(
        window, tr("Select Vorel Export file"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        ComponentsFile::fileFilter());
    if (fileName.isEmpty())
        return;

    const auto loaded = ComponentsFile::load(fileName);
    if (const auto *failure = std::get_if<ComponentsFile::LoadFailure>(&loaded)) {
        if (*failure == ComponentsFile::LoadFailure::CannotOpen)
            Prompt::critical(window, tr("Cannot open import file"),
                             tr("Import file could not be opened."));
        else
            Prompt::critical(window, tr("Error parsing import file"),
                             tr("The import file could not be parsed correctly."));
        return;
    }
    const auto &components = std::get<ImportedComponents>(loaded);
    if (!components.changesMeetingInfo()) {
        addAssets(meetingId, components.assets);
        return;
    }
    waiting.append({service->meetingInfoUpdate(meetingId, components.appliedTo(info)), meetingId,
                    components.assets});
}

void ComponentsExchange::onMeetingInfoWritten(ZeltHttpRequestWorker *request)
{
    // A refused info still lets the files through: the service judges each on its own.
    const auto own = std::find_if(waiting.begin(), waiting.end(), [request](const auto &entry) {
        return entry.request == request;
    });
    if (own == waiting.end())
        return;
    const WaitingAssets released = *own;
    waiting.erase(own);
    addAssets(released.meetingId, released.assets);
}

void ComponentsExchange::addAssets(const QString &meetingId, const QList<ZeltAsset> &assets)
{
    for (const ZeltAsset &asset : assets)
        service->assetAdd(meetingId, asset);
}
