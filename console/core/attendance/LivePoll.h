#pragma once

#include "service/ZeltMeetingInfo.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// Where someone stands in a meeting's room: x and z of the floor, and the heading (rotation
// about the vertical axis, degrees, 0 facing +z).
struct FloorPlace
{
    double x = 0;
    double z = 0;
    double heading = 0;
};

// One participant as one poll saw them.
struct SeenParticipant
{
    qint32 clientId = 0;
    QString alias;
    QString user;
    QString role;
    bool talking = false;
    std::optional<FloorPlace> place;

    // Who someone is across polls and rejoins: the login when the service names one.
    QString key() const { return user.isEmpty() ? alias : user; }
    bool isPresenter() const { return role == QLatin1String("Presenter"); }
};

struct SpawnMark
{
    QString name;
    FloorPlace place;
};

// A running meeting as one poll saw it.
struct SeenMeeting
{
    QString key; // the meeting id in lower case
    QString meetingId;
    QList<SeenParticipant> participants;
    QList<SpawnMark> spawnPoints;
};

// One answered poll: the running meetings of the listing, by key.
struct LivePoll
{
    QDateTime at;
    QMap<QString, SeenMeeting> running;

    // The meetings whose mirror runs. Places come from each client's "Position" and "Rotation"
    // in the reply's own JSON where the service sends them; the models keep no such members.
    static LivePoll fromListing(const QList<Zelt_Service_API::ZeltMeetingInfo> &listing,
                                const QByteArray &reply, const QDateTime &at);
};

Q_DECLARE_METATYPE(LivePoll)
