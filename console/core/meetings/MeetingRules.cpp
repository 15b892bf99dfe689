#include "MeetingRules.h"

#include "Zelt_LoginData.h"

#include <functional>

using Zelt_MeetingService_API::ZeltMeeting;
using Zelt_MeetingService_API::ZeltPresenter;
using Zelt_Service_API::ZeltMeetingInfo;
using Zelt_Service_API::ZeltMirrorClientInfo;

namespace {
const QString Images = QStringLiteral(":/Zelt_ServerApp/");

// The info with the first client of that id changed; nothing when there is none.
std::optional<ZeltMeetingInfo>
withClientChanged(ZeltMeetingInfo info, qint32 clientId,
                  const std::function<void(ZeltMirrorClientInfo &)> &change)
{
    QList<ZeltMirrorClientInfo> clients = info.clients();
    for (ZeltMirrorClientInfo &client : clients) {
        if (client.id() != clientId)
            continue;
        change(client);
        info.setClients(clients);
        return info;
    }
    return std::nullopt;
}
} // namespace

QString MeetingRules::key(const ZeltMeeting &meeting)
{
    return meeting.meetingId().toLower();
}

QMap<QString, ZeltMeeting> MeetingRules::byKey(const QList<ZeltMeeting> &meetings)
{
    QMap<QString, ZeltMeeting> map;
    for (const ZeltMeeting &meeting : meetings)
        map.insert(key(meeting), meeting);
    return map;
}

bool MeetingRules::seesAllMeetings(const Zelt_LoginData &session)
{
    return session.isAdministrator() || session.hasRole(QStringLiteral("Zelt_Group_Administrator"));
}

QString MeetingRules::creatorFilter(const Zelt_LoginData &session)
{
    return seesAllMeetings(session) ? QStringLiteral("*") : session.id;
}

bool MeetingRules::isActive(const ZeltMeeting &meeting)
{
    return meeting.status().toLower() == QLatin1String("active");
}

ZeltMeeting MeetingRules::withToggledStatus(ZeltMeeting meeting)
{
    meeting.setStatus(isActive(meeting) ? QStringLiteral("pending") : QStringLiteral("active"));
    return meeting;
}

ZeltMeeting MeetingRules::newMeeting(const Zelt_LoginData &session)
{
    ZeltMeeting meeting;
    meeting.setCreator(session.userId);
    ZeltPresenter presenter;
    presenter.setName(session.firstName + QLatin1Char(' ') + session.lastName);
    presenter.setEmail(session.email);
    meeting.setPresenter(presenter);
    meeting.setAudioMode(0);
    return meeting;
}

QString MeetingRules::timeLeft(const QString &endingTime, const QDateTime &now)
{
    if (endingTime.isEmpty())
        return QStringLiteral("∞");
    const QDateTime end = QDateTime::fromString(endingTime, Qt::TextDate);
    const qint64 seconds = end.isValid() ? now.secsTo(end) : 0;
    if (seconds < 1)
        return QString();
    const qint64 minutes = seconds / 60 + (seconds % 60 > 30 ? 1 : 0);
    return QString::number(minutes) + QStringLiteral(" mins");
}

QString MeetingRules::statusIcon(const ZeltMeeting &meeting, const ZeltMeetingInfo &info)
{
    if (!isActive(meeting))
        return Images + QStringLiteral("red.svg");
    if (info.isStatusMirrorSet() && info.statusMirror() != 1)
        return Images + QStringLiteral("yellow.svg");
    return Images + (meeting.license() == QLatin1String("endless") ? QStringLiteral("blue.svg")
                                                                   : QStringLiteral("green.svg"));
}

QString MeetingRules::lockIcon(const QString &password)
{
    return Images + (password.isEmpty() ? QStringLiteral("lock_open.png")
                                        : QStringLiteral("lock_closed.png"));
}

QString MeetingRules::voiceIcon(qint32 audioMode)
{
    switch (audioMode) {
    case 0:
        return Images + QStringLiteral("mic_disabled.png");
    case 1:
        return Images + QStringLiteral("mic_talking.png");
    default:
        return Images + QStringLiteral("mic_enabled.png");
    }
}

QString MeetingRules::microphoneIcon(const ZeltMirrorClientInfo &client)
{
    if (!client.voiceEnabled())
        return voiceIcon(0);
    return client.voiceIsTalking() ? voiceIcon(1) : voiceIcon(2);
}

QUrl MeetingRules::inviteLink(const QString &meetingServiceHost, const QString &key,
                              const QString &password)
{
    QUrl url(meetingServiceHost);
    url.setPort(-1);
    url.setPath(QStringLiteral("/"));
    QString query = QStringLiteral("meetingid=") + key;
    if (!password.isEmpty())
        query += QStringLiteral("&pwd=") + QString::fromLatin1(QUrl::toPercentEncoding(password));
    url.setQuery(query, QUrl::StrictMode);
    return url;
}

std::optional<ZeltMeetingInfo> MeetingRules::withVoice(ZeltMeetingInfo info, qint32 clientId,
                                                       bool enabled)
{
    return withClientChanged(std::move(info), clientId, [enabled](ZeltMirrorClientInfo &client) {
        client.setVoiceEnabled(enabled);
    });
}

std::optional<ZeltMeetingInfo> MeetingRules::withPresenterToggled(ZeltMeetingInfo info,
                                                                  qint32 clientId)
{
    return withClientChanged(std::move(info), clientId, [](ZeltMirrorClientInfo &client) {
        if (client.currentRole() == QLatin1String("Presenter"))
            client.setCurrentRole(QStringLiteral("User"));
        else if (client.currentRole() == QLatin1String("User"))
            client.setCurrentRole(QStringLiteral("Presenter"));
    });
}

std::optional<ZeltMirrorClientInfo> MeetingRules::client(const ZeltMeetingInfo &info,
                                                         qint32 clientId)
{
    for (const ZeltMirrorClientInfo &client : info.clients())
        if (client.id() == clientId)
            return client;
    return std::nullopt;
}
