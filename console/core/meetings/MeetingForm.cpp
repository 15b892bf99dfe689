#include "MeetingForm.h"

#include "MeetingPassword.h"
#include "MeetingRules.h"

using Zelt_MeetingService_API::ZeltMeeting;

namespace {
const QString Endless = QStringLiteral("endless");
}

MeetingForm MeetingForm::of(const ZeltMeeting &meeting)
{
    MeetingForm form;
    form.title = meeting.title();
    form.description = meeting.description();
    form.voiceMode = meeting.audioMode();
    if (meeting.isAudioMode3DSet())
        form.voice3D = meeting.audioMode3D() / 10;
    form.chatMode = meeting.chatMode();
    form.endTimeMode = meeting.license().compare(Endless, Qt::CaseInsensitive) == 0 ? 1 : 0;
    if (meeting.isPasswordSet() && !meeting.password().isEmpty())
        form.password = MeetingPassword::mask();
    return form;
}

bool MeetingForm::licenseLocked(const ZeltMeeting &meeting)
{
    return MeetingRules::isActive(meeting);
}

QString MeetingForm::license() const
{
    return endTimeMode == 1 ? Endless : QStringLiteral("default");
}

void MeetingForm::writeCommon(ZeltMeeting &meeting) const
{
    meeting.setTitle(title);
    meeting.setDescription(description);
    meeting.setAudioMode(voiceMode);
    meeting.setAudioMode3D(voice3D.value_or(0) * 10);
    meeting.setChatMode(chatMode);
}

void MeetingForm::writeNew(ZeltMeeting &meeting, const QString &creator,
                           const QString &creatorId) const
{
    meeting.setCreator(creator);
    meeting.setCreatorId(creatorId);
    writeCommon(meeting);
    meeting.setStatus(QStringLiteral("pending"));
    meeting.setLicense(license());
    if (!password.isEmpty())
        meeting.setPassword(MeetingPassword::digest(password));
}

void MeetingForm::writeChanges(ZeltMeeting &meeting) const
{
    writeCommon(meeting);
    // A running meeting keeps its license, in whatever case its status is spelled: the locked
    // control must not overwrite it.
    if (!licenseLocked(meeting))
        meeting.setLicense(license());
    // An emptied field removes the password.
    if (passwordModified)
        meeting.setPassword(password.isEmpty() ? QStringLiteral("")
                                               : MeetingPassword::digest(password));
}
