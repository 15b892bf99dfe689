#pragma once

#include "meeting/ZeltMeeting.h"
#include "service/ZeltMeetingInfo.h"

#include <QDateTime>
#include <QMap>
#include <QUrl>

#include <optional>

struct Zelt_LoginData;

// The rules the meetings panel shows and changes meetings by, free of widgets.
namespace MeetingRules {

// A meeting is known everywhere by its "meetingId" in lower case.
QString key(const Zelt_MeetingService_API::ZeltMeeting &meeting);
// Later meetings with the same key replace earlier ones.
QMap<QString, Zelt_MeetingService_API::ZeltMeeting>
byKey(const QList<Zelt_MeetingService_API::ZeltMeeting> &meetings);

// Administrators and group administrators see every meeting ("*"), others their own (their id).
bool seesAllMeetings(const Zelt_LoginData &session);
QString creatorFilter(const Zelt_LoginData &session);

bool isActive(const Zelt_MeetingService_API::ZeltMeeting &meeting);
// Start or stop: "active" becomes "pending", anything else "active"; all other fields stay.
Zelt_MeetingService_API::ZeltMeeting
withToggledStatus(Zelt_MeetingService_API::ZeltMeeting meeting);
// What a new meeting starts from: the user as creator and presenter, voice off.
Zelt_MeetingService_API::ZeltMeeting newMeeting(const Zelt_LoginData &session);

// "∞" without an ending time, empty once it has passed, else whole minutes (a remainder over
// 30 s rounds up) and " mins".
QString timeLeft(const QString &endingTime, const QDateTime &now);

// The images of the meetings table.
QString statusIcon(const Zelt_MeetingService_API::ZeltMeeting &meeting,
                   const Zelt_Service_API::ZeltMeetingInfo &info);
QString lockIcon(const QString &password);
QString voiceIcon(qint32 audioMode);
QString microphoneIcon(const Zelt_Service_API::ZeltMirrorClientInfo &client);

// The invite link: the meeting service's scheme and host, path "/", "meetingid=" and, for a
// protected meeting, "&pwd=" with the stored password digest percent-encoded.
QUrl inviteLink(const QString &meetingServiceHost, const QString &key, const QString &password);

// Mute or unmute one client of a running meeting; nothing when no client has that id.
std::optional<Zelt_Service_API::ZeltMeetingInfo> withVoice(Zelt_Service_API::ZeltMeetingInfo info,
                                                           qint32 clientId, bool enabled);
// Give or take the presenter role: "Presenter" becomes "User" and "User" becomes "Presenter";
// other roles stay. Nothing when no client has that id.
std::optional<Zelt_Service_API::ZeltMeetingInfo>
withPresenterToggled(Zelt_Service_API::ZeltMeetingInfo info, qint32 clientId);
// The client with that id, if the info lists it.
std::optional<Zelt_Service_API::ZeltMirrorClientInfo>
client(const Zelt_Service_API::ZeltMeetingInfo &info, qint32 clientId);

} // namespace MeetingRules
