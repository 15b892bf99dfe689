#pragma once

#include "meeting/ZeltMeeting.h"

#include <QString>

#include <optional>

// The meeting editor's values without its widgets: what a meeting shows in the form, and what
// a confirmed form writes back into it.
struct MeetingForm
{
    QString title;
    QString description;
    int voiceMode = 0;
    // The 3D voice index; a meeting that has no 3D setting leaves the control as it is.
    std::optional<int> voice3D;
    int chatMode = 0;
    // 0 "Default", 1 "No End Time".
    int endTimeMode = 0;
    // The password field: the mask, empty, or what the user typed.
    QString password;
    bool passwordModified = false;

    static MeetingForm of(const Zelt_MeetingService_API::ZeltMeeting &meeting);
    // A running meeting's end time cannot change.
    static bool licenseLocked(const Zelt_MeetingService_API::ZeltMeeting &meeting);

    // A new meeting, pending, created by the signed-in user; a password only when one was typed.
    void writeNew(Zelt_MeetingService_API::ZeltMeeting &meeting, const QString &creator,
                  const QString &creatorId) const;
    // The edited fields of an existing meeting; everything else stays, since the whole meeting
    // is sent back.
    void writeChanges(Zelt_MeetingService_API::ZeltMeeting &meeting) const;

private:
    QString license() const;
    void writeCommon(Zelt_MeetingService_API::ZeltMeeting &meeting) const;
};
