#include "Zelt_Meetings.h"

#include "ConsoleConfig.h"
#include "ExportFileNames.h"
#include "FlowLayout.h"
#include "LogCategories.h"
#include "MeetingRules.h"
#include "Prompt.h"
#include "ZeltClientFactory.h"
#include "Zelt_AttendanceDialog.h"
#include "Zelt_BanlistDialog.h"
#include "Zelt_ExportDialog.h"
#include "Zelt_LogfileDialog.h"
#include "Zelt_LoginData.h"
#include "Zelt_MeetingEditor.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_SpawnPointsDialog.h"
#include "auth/ZeltError.h"
#include "ui_Zelt_Meetings.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QShortcut>
#include <QStandardPaths>

using namespace Zelt_MeetingService_API;
using Zelt_Service_API::ZeltMeetingInfo;

Zelt_Meetings::Zelt_Meetings(QWidget *parent, ConsoleConfig *config,
                             Zelt_MeetingsInfoThread *infoThread, Zelt_LoginData *loginData)
    : QWidget(parent), ui(std::make_unique<Ui::Zelt_MeetingsClass>()), config(config),
      infoThread(infoThread),
      meetingApi(newZeltClient<ZeltMeetingApi>(
          config->meetingServiceHost, config->meetingServicePath, ZeltDefaultHeaders::Json, this))
{
    ui->setupUi(this);
    // The meeting actions wrap above the tables, which share the panel's whole width.
    auto *buttons = new FlowLayout(ui->widgetMeetingButtons);
    for (QWidget *button :
         {ui->btnMeetingCreate, ui->btnMeetingEdit, ui->btnMeetingDelete, ui->btnMeetingActivate,
          ui->btnMeetingRefresh, ui->btnURL, ui->btnSendMsg, ui->btnSpawnPoints, ui->btnMirLog,
          ui->btnSvcLog, ui->btnBanlist, ui->btnExportAll, ui->btnAttendance})
        buttons->addWidget(button);
    ui->splitMeetings->setStretchFactor(0, 3);
    ui->splitMeetings->setStretchFactor(1, 2);
    auto *refresh = new QShortcut(QKeySequence::Refresh, this, this,
                                  &Zelt_Meetings::requestMeetings, Qt::WidgetWithChildrenShortcut);
    refresh->setObjectName(QStringLiteral("refreshMeetings"));
    meetingApi->setTokenRenewal(infoThread);
    ui->btnKickUser->show();
    ui->btnSpawnPoints->show();
    ui->btnSendMsg->show();
    ui->btnBanUser->hide();

    connect(infoThread, &Zelt_MeetingsInfoThread::meetingsInfo, this,
            &Zelt_Meetings::onMeetingsInfo);
    connect(infoThread, &Zelt_MeetingsInfoThread::tokenChanged, this, &Zelt_Meetings::setAuthToken);
    connect(meetingApi, &ZeltMeetingApi::getMeetingsSignal, this, &Zelt_Meetings::onGetMeetings);
    connect(meetingApi, &ZeltMeetingApi::getMeetingsSignalE, this, &Zelt_Meetings::onGetMeetingsE);
    connect(meetingApi, &ZeltMeetingApi::createMeetingSignal, this,
            &Zelt_Meetings::onCreateMeeting);
    connect(meetingApi, &ZeltMeetingApi::createMeetingSignalE, this,
            &Zelt_Meetings::onCreateMeetingE);
    connect(meetingApi, &ZeltMeetingApi::deleteMeetingSignal, this,
            &Zelt_Meetings::onDeleteMeeting);
    connect(meetingApi, &ZeltMeetingApi::deleteMeetingSignalE, this,
            &Zelt_Meetings::onDeleteMeetingE);
    connect(meetingApi, &ZeltMeetingApi::updateMeetingSignal, this,
            &Zelt_Meetings::onUpdateMeeting);
    connect(meetingApi, &ZeltMeetingApi::updateMeetingSignalE, this,
            &Zelt_Meetings::onUpdateMeetingE);

    setLoginData(loginData);
    updateButtons();
    logDialog = new Zelt_LogfileDialog(infoThread, this);
    for (QWidget *adminOnly : {ui->btnSvcLog, ui->btnMirLog, ui->btnBanlist, ui->btnExportAll})
        adminOnly->hide();

    refreshTimer.setSingleShot(true);
    refreshTimer.setInterval(1000);
    connect(&refreshTimer, &QTimer::timeout, this, &Zelt_Meetings::requestMeetings);
}

Zelt_Meetings::~Zelt_Meetings() = default;

void Zelt_Meetings::setLoginData(Zelt_LoginData *data)
{
    loginData = data;
    if (!loginData)
        return;
    setAuthToken(loginData->accessToken);
    onSetupUI();
    if (MeetingRules::seesAllMeetings(*loginData))
        ui->tblMeetings->showCreatorColumn();
    if (loginData->isAdministrator())
        for (QWidget *adminOnly : {ui->btnSvcLog, ui->btnBanlist, ui->btnMirLog, ui->btnExportAll})
            adminOnly->show();
}

void Zelt_Meetings::onSetupUI()
{
    ui->tblMeetings->setUpColumns();
    ui->tblMeetingMembers->setUpColumns();
}

void Zelt_Meetings::setAuthToken(QString token)
{
    if (config->meetingServiceAuth)
        meetingApi->setBearerToken(token);
}

void Zelt_Meetings::requestMeetings()
{
    if (!loginData || !loginData->loggedIn)
        return;
    setAuthToken(loginData->accessToken);
    meetingApi->getMeetings(MeetingRules::creatorFilter(*loginData));
}

QString Zelt_Meetings::selectedKey() const
{
    return ui->tblMeetings->selectedKey();
}

ZeltMeeting Zelt_Meetings::currentMeeting() const
{
    const QString key = selectedKey();
    return key.isEmpty() ? ZeltMeeting() : meetingMap.value(key);
}

void Zelt_Meetings::updateButtons()
{
    ui->grpBoxMeetings->setEnabled(loginData && loginData->loggedIn);
    const bool selected = !selectedKey().isEmpty();
    for (QWidget *button :
         {ui->btnMeetingEdit, ui->btnMeetingDelete, ui->btnSpawnPoints, ui->btnSendMsg, ui->btnURL,
          ui->btnMeetingActivate, ui->btnMirLog, ui->btnAttendance})
        button->setEnabled(selected);
    if (!selected)
        return;
    const bool active = MeetingRules::isActive(currentMeeting());
    ui->btnMeetingActivate->setText(active ? tr("&Stop") : tr("&Start"));
    ui->tblMeetingMembers->setEnabled(active);
}

// --- The list and its live state ---

void Zelt_Meetings::onGetMeetings(QList<ZeltMeeting> summary)
{
    meetingMap = MeetingRules::byKey(summary);
    ui->tblMeetingMembers->clearSelection();
    ui->tblMeetingMembers->setRowCount(0);
    // No member is selected any more: their actions wait for the next selection.
    for (QWidget *button : {ui->btnMuteUser, ui->btnKickUser, ui->btnPresenter})
        button->setEnabled(false);
    ui->tblMeetings->showMeetings(meetingMap);
    updateButtons();
    infoThread->getMeetingsInfo();
    emit meetingUpdate(-1);
}

void Zelt_Meetings::onGetMeetingsE(QList<ZeltMeeting>, QNetworkReply::NetworkError error_type,
                                   QString error_str)
{
    qCDebug(lcSrv) << Q_FUNC_INFO << "TYPE:" << error_type << "ERROR:" << error_str;
    Prompt::critical(this, tr("Cannot connect to meeting service"),
                     tr("Connecting to meeting service failed. Please try again later.\nError "
                        "Message: %1")
                         .arg(error_str),
                     Prompt::Ok);
    emit exitApp();
}

void Zelt_Meetings::onMeetingsInfo(QMap<QString, ZeltMeetingInfo> map)
{
    liveInfo = map;
    ui->tblMeetings->showLiveState(meetingMap, liveInfo, QDateTime::currentDateTimeUtc());
    updatePlayerList(map);
}

void Zelt_Meetings::updatePlayerList(QMap<QString, ZeltMeetingInfo> map)
{
    const auto info = map.constFind(selectedKey());
    if (selectedKey().isEmpty() || info == map.constEnd())
        return;
    ui->tblMeetingMembers->showClients(info.key(), info->clients());
}

void Zelt_Meetings::on_tblMeetings_itemSelectionChanged()
{
    if (!selectedKey().isEmpty())
        infoThread->getMeetingsInfo();
    updateButtons();
    emit meetingChanged();
}

// --- Create, modify, delete, start and stop ---

bool Zelt_Meetings::edit(ZeltMeeting &meeting, int mode)
{
    Zelt_MeetingEditor editor(this, &meeting, mode);
    editor.setLoginData(loginData);
    return editor.exec() == QDialog::Accepted;
}

void Zelt_Meetings::on_btnMeetingCreate_clicked()
{
    if (!loginData)
        return;
    ZeltMeeting meeting = MeetingRules::newMeeting(*loginData);
    if (edit(meeting, Zelt_MeetingEditor::Create))
        meetingApi->createMeeting(meeting);
}

void Zelt_Meetings::on_btnMeetingEdit_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    ZeltMeeting meeting = meetingMap.value(key);
    if (edit(meeting, Zelt_MeetingEditor::Modify))
        meetingApi->updateMeeting(meeting.meetingId(), meeting);
}

void Zelt_Meetings::on_btnMeetingDelete_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    // Both texts stay untranslated.
    const auto answer = Prompt::question(
        this, QStringLiteral("Remove Meeting"),
        QStringLiteral("Do you realy want to finally remove meeting %1?").arg(key));
    if (answer == Prompt::Yes)
        meetingApi->deleteMeeting(key);
}

void Zelt_Meetings::on_btnMeetingActivate_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    if (!liveInfo.contains(key)) {
        Prompt::warning(this, tr("Error changing meeting status"),
                        tr("There was an error changing the status of the meeting. Please "
                           "refresh the meeting list and try again later."));
        return;
    }
    // The whole stored meeting goes out, with only its status changed.
    const ZeltMeeting meeting = MeetingRules::withToggledStatus(meetingMap.value(key));
    meetingApi->updateMeeting(meeting.meetingId(), meeting);
    updateButtons();
    emit meetingChanged();
    refreshTimer.start();
}

void Zelt_Meetings::on_btnMeetingRefresh_clicked()
{
    requestMeetings();
}

void Zelt_Meetings::onCreateMeeting(ZeltMeeting)
{
    requestMeetings();
}

void Zelt_Meetings::onUpdateMeeting(ZeltMeeting)
{
    requestMeetings();
}

void Zelt_Meetings::onDeleteMeeting()
{
    requestMeetings();
}

void Zelt_Meetings::onCreateMeetingE(ZeltMeeting, QNetworkReply::NetworkError, QString error_str)
{
    qCDebug(lcSrv) << Q_FUNC_INFO << "ERROR:" << error_str;
}

void Zelt_Meetings::onDeleteMeetingE(QNetworkReply::NetworkError, QString error_str)
{
    qCDebug(lcSrv) << Q_FUNC_INFO << "ERROR:" << error_str;
}

void Zelt_Meetings::onUpdateMeetingE(ZeltMeeting, QNetworkReply::NetworkError, QString error_str)
{
    const auto error = Zelt_AuthService_API::ZeltError::fromErrorText(error_str);
    if (error.code() == 403)
        Prompt::critical(this, tr("Cannot start meeting"), tr("Not allowed to modify meeting."));
    qCDebug(lcSrv) << Q_FUNC_INFO << "ERROR:" << error_str;
}

void Zelt_Meetings::on_btnURL_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    const QUrl link =
        MeetingRules::inviteLink(config->meetingServiceHost, key, meetingMap.value(key).password());
    QGuiApplication::clipboard()->setText(link.toString());
    Prompt::information(this, tr("Invite URL Copied To Clipboard"),
                        tr("The meeting invite URL has been copied to the clipboard."));
}

// --- Members of the selected running meeting ---

void Zelt_Meetings::on_tblMeetingMembers_itemSelectionChanged()
{
    const auto member = ui->tblMeetingMembers->selectedClient();
    if (attendanceDialog && attendanceDialog->shownMeeting() == selectedKey())
        attendanceDialog->selectParticipant(member ? member->id() : 0);
    if (!member)
        return;
    ui->btnKickUser->setEnabled(true);
    ui->btnPresenter->setEnabled(true);
    ui->btnMuteUser->setEnabled(liveInfo.value(selectedKey()).voiceMode() != 0);
    ui->btnMuteUser->setText(member->voiceEnabled() ? tr("Mute") : tr("Unmute"));
    ui->btnPresenter->setText(member->currentRole() == QLatin1String("Presenter")
                                  ? tr("Take Presenter")
                                  : tr("Give Presenter"));
}

void Zelt_Meetings::on_btnKickUser_clicked()
{
    const QString key = selectedKey();
    const auto member = ui->tblMeetingMembers->selectedClient();
    if (key.isEmpty() || !member)
        return;
    const auto answer = Prompt::question(
        this, tr("Kick User"), tr("Kick user %1 from meeting %2?").arg(member->alias(), key));
    if (answer == Prompt::Yes)
        infoThread->sendMeetingCommand(key, QStringLiteral("KickPlayer"),
                                       {QString::number(member->id())});
}

void Zelt_Meetings::on_btnSendMsg_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    const auto text =
        Prompt::current().text(this, tr("Send Message to Meeting %1").arg(key.toUpper()),
                               tr("Message:"), Prompt::Echo::Normal, QString());
    if (text && !text->isEmpty())
        infoThread->sendMeetingCommand(key, QStringLiteral("SendMessage"), {*text});
}

std::optional<Zelt_Service_API::ZeltMirrorClientInfo>
Zelt_Meetings::changeSelectedMember(const MemberChange &change)
{
    const auto member = ui->tblMeetingMembers->selectedClient();
    if (!member)
        return std::nullopt;
    const QString key = member->meetingId().toLower();
    // Without live info there is nothing to change: sending an empty one would clear it.
    if (!liveInfo.contains(key))
        return std::nullopt;
    const auto changed = change(liveInfo.value(key), member->id());
    if (!changed)
        return std::nullopt;
    liveInfo.insert(key, *changed);
    emit meetingConfigChanged(*changed);
    return MeetingRules::client(*changed, member->id());
}

void Zelt_Meetings::on_btnMuteUser_clicked()
{
    const bool unmute = ui->btnMuteUser->text() == tr("Unmute");
    const auto changed = changeSelectedMember([unmute](ZeltMeetingInfo info, qint32 id) {
        return MeetingRules::withVoice(std::move(info), id, unmute);
    });
    if (!changed)
        return;
    ui->btnMuteUser->setText(unmute ? tr("Mute") : tr("Unmute"));
    infoThread->getMeetingsInfo();
    updateButtons();
    emit meetingChanged();
}

void Zelt_Meetings::on_btnPresenter_clicked()
{
    const auto changed = changeSelectedMember(&MeetingRules::withPresenterToggled);
    if (!changed)
        return;
    const QString role = changed->currentRole();
    ui->btnPresenter->setText(role == QLatin1String("Presenter") ? tr("Take Presenter")
                                                                 : tr("Give Presenter"));
    ui->tblMeetingMembers->setSelectedRole(role);
}

void Zelt_Meetings::on_btnBanUser_clicked()
{
    Prompt::warning(this, tr("Not implemented"), tr("Not implemented yet"));
}

// --- Dialogs of the meeting content and the logs, built with those dialogs ---

void Zelt_Meetings::on_btnMirLog_clicked()
{
    const QString key = selectedKey();
    if (!key.isEmpty())
        logDialog->showMirrorLog(key);
}

void Zelt_Meetings::on_btnSvcLog_clicked()
{
    logDialog->showServiceLog();
}

void Zelt_Meetings::on_btnSpawnPoints_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    Zelt_SpawnPointsDialog dialog(liveInfo.value(key), infoThread, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Without live info there is no meeting to write to: an info without its id and lists
    // would clear the meeting's content.
    if (!liveInfo.contains(key))
        return;
    ZeltMeetingInfo info = liveInfo.value(key);
    info.setSpawnPoints(dialog.result().spawnPoints());
    liveInfo.insert(key, info);
    // The live info is polled again once the service has stored the change: a poll sent now
    // could be answered with the old points and bring them back into the next edit.
    emit meetingConfigChanged(info);
    updateButtons();
    emit meetingChanged();
}

void Zelt_Meetings::on_btnBanlist_clicked()
{
    Zelt_BanlistDialog dialog(infoThread, this);
    dialog.exec();
}

void Zelt_Meetings::on_btnExportAll_clicked()
{
    Zelt_ExportDialog dialog(nullptr, this);
    dialog.exec();
    if (!dialog.isAccepted())
        return;
    const QString folder = Prompt::current().existingDirectory(
        this, tr("Export all meetings to directory"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (folder.isEmpty())
        return;
    // Only meetings with live info are exported, each to a file of its own inside the folder.
    // One file that cannot be written keeps no other from being written.
    ExportFileNames names;
    QStringList failures;
    for (auto info = liveInfo.cbegin(); info != liveInfo.cend(); ++info) {
        const QString name = names.next(info->meetingId(), meetingMap.value(info.key()).creator());
        QString reason;
        if (!dialog.writeFile(*info, QDir(folder).filePath(name), &reason))
            failures << name + QStringLiteral(": ") + reason;
    }
    if (failures.isEmpty())
        Prompt::information(this, tr("Meetings exported"),
                            tr("Meetings exported to %1.").arg(folder));
    else if (failures.size() < liveInfo.size())
        Prompt::warning(this, tr("Meetings partly exported"),
                        tr("These files could not be written:\n%2\nThe other meetings were "
                           "exported to %1.")
                            .arg(folder, failures.join(QLatin1Char('\n'))));
    else
        Prompt::critical(this, tr("Meetings not exported"),
                         tr("No meeting could be exported to %1. These files could not be "
                            "written:\n%2")
                             .arg(folder, failures.join(QLatin1Char('\n'))));
}

// --- Attendance ---

void Zelt_Meetings::setAttendance(AttendanceMonitor *monitor)
{
    attendance = monitor;
}

void Zelt_Meetings::on_btnAttendance_clicked()
{
    const QString key = selectedKey();
    if (key.isEmpty() || !attendance)
        return;
    if (!attendanceDialog) {
        attendanceDialog = new Zelt_AttendanceDialog(attendance, this);
        // A participant picked on the map is selected in the members table, when it shows them.
        connect(attendanceDialog, &Zelt_AttendanceDialog::participantChosen, this,
                [this](const QString &meetingKey, qint32 clientId) {
                    if (meetingKey == selectedKey())
                        ui->tblMeetingMembers->selectClient(clientId);
                });
    }
    attendanceDialog->showMeeting(key, meetingMap.value(key).meetingId());
    if (const auto member = ui->tblMeetingMembers->selectedClient())
        attendanceDialog->selectParticipant(member->id());
    attendanceDialog->show();
    attendanceDialog->raise();
    attendanceDialog->activateWindow();
}
