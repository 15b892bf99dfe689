#include "LivePoll.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Zelt_Service_API;

namespace {
using Places = QHash<QString, QHash<qint32, FloorPlace>>;

std::optional<FloorPlace> placeOf(const QJsonObject &object)
{
    const QJsonValue position = object.value(QStringLiteral("Position"));
    if (!position.isObject())
        return std::nullopt;
    const QJsonObject rotation = object.value(QStringLiteral("Rotation")).toObject();
    return FloorPlace{position[QStringLiteral("x")].toDouble(),
                      position[QStringLiteral("z")].toDouble(),
                      rotation.value(QStringLiteral("y")).toDouble()};
}

Places placesOf(const QByteArray &reply)
{
    Places places;
    const QJsonArray meetings = QJsonDocument::fromJson(reply).array();
    for (const QJsonValue &meeting : meetings) {
        auto &clients = places[meeting[QStringLiteral("meetingId")].toString().toLower()];
        for (const QJsonValue &client : meeting[QStringLiteral("clients")].toArray()) {
            if (const auto place = placeOf(client.toObject()))
                clients.insert(client[QStringLiteral("Id")].toInt(), *place);
        }
    }
    return places;
}

FloorPlace placeOf(const ZeltSpawnPoint &point)
{
    return {point.position().x(), point.position().z(), point.rotation().y()};
}
} // namespace

LivePoll LivePoll::fromListing(const QList<ZeltMeetingInfo> &listing, const QByteArray &reply,
                               const QDateTime &at)
{
    LivePoll poll;
    poll.at = at;
    const Places places = placesOf(reply);
    for (const ZeltMeetingInfo &info : listing) {
        if (!info.isStatusMirrorSet() || info.statusMirror() != 1)
            continue;
        SeenMeeting meeting;
        meeting.key = info.meetingId().toLower();
        meeting.meetingId = info.meetingId();
        const auto clientPlaces = places.value(meeting.key);
        for (const ZeltMirrorClientInfo &client : info.clients()) {
            SeenParticipant seen{client.id(),
                                 client.alias(),
                                 client.credentials().user(),
                                 client.currentRole(),
                                 client.voiceEnabled() && client.voiceIsTalking(),
                                 std::nullopt};
            if (const auto place = clientPlaces.constFind(client.id());
                place != clientPlaces.constEnd())
                seen.place = *place;
            meeting.participants.append(seen);
        }
        for (const ZeltSpawnPoint &point : info.spawnPoints())
            meeting.spawnPoints.append({point.name(), placeOf(point)});
        poll.running.insert(meeting.key, meeting);
    }
    return poll;
}
