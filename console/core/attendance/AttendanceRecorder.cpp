#include "AttendanceRecorder.h"

#include <QSet>
#include <QUuid>

bool AttendanceRow::operator==(const AttendanceRow &other) const
{
    return key == other.key && alias == other.alias && user == other.user && role == other.role &&
           firstSeen == other.firstSeen && lastSeen == other.lastSeen &&
           presentPolls == other.presentPolls && talkingPolls == other.talkingPolls &&
           roleChanges == other.roleChanges && joins == other.joins;
}

QList<SessionUpdate> AttendanceRecorder::record(const LivePoll &poll)
{
    QList<SessionUpdate> updates;
    if (lastCounted.isValid() && lastCounted.msecsTo(poll.at) < pollSeconds * 500)
        return updates;
    lastCounted = poll.at;
    for (auto it = open.begin(); it != open.end();) {
        if (poll.running.contains(it.key())) {
            ++it;
            continue;
        }
        it->session.ended = poll.at;
        updates.append({it->session, {}, std::nullopt});
        it = open.erase(it);
    }
    for (const SeenMeeting &meeting : poll.running) {
        auto session = open.find(meeting.key);
        if (session == open.end()) {
            OpenSession started;
            started.session = {QUuid::createUuid().toString(QUuid::WithoutBraces),
                               meeting.key,
                               meeting.meetingId,
                               poll.at,
                               {},
                               pollSeconds};
            session = open.insert(meeting.key, started);
        }
        updates.append(follow(*session, meeting, poll.at));
    }
    return updates;
}

SessionUpdate AttendanceRecorder::follow(OpenSession &open, const SeenMeeting &meeting,
                                         const QDateTime &at)
{
    SessionUpdate update{open.session, {}, AttendanceSample{at, 0, 0}};
    QSet<QString> seenNow;
    for (const SeenParticipant &seen : meeting.participants) {
        // Two clients of one login are one participant.
        if (seenNow.contains(seen.key()))
            continue;
        seenNow.insert(seen.key());
        Presence &presence = open.people[seen.key()];
        if (see(presence, seen, at))
            ++update.sample->talkers;
        update.rows.append(presence.row);
    }
    update.sample->participants = int(seenNow.size());
    for (Presence &presence : open.people) {
        if (!seenNow.contains(presence.row.key))
            ++presence.missed;
    }
    return update;
}

// Counts one poll in which the participant was there; true when they talked.
bool AttendanceRecorder::see(Presence &presence, const SeenParticipant &seen, const QDateTime &at)
{
    AttendanceRow &row = presence.row;
    if (row.joins == 0) {
        row.key = seen.key();
        row.firstSeen = at;
        row.role = seen.role;
        row.joins = 1;
    } else if (presence.missed == 1) {
        ++row.presentPolls; // the poll that missed them
    } else if (presence.missed > 1) {
        ++row.joins;
    }
    presence.missed = 0;
    if (seen.role != row.role) {
        ++row.roleChanges;
        row.role = seen.role;
    }
    row.alias = seen.alias;
    row.user = seen.user;
    row.lastSeen = at;
    ++row.presentPolls;
    if (seen.talking)
        ++row.talkingPolls;
    return seen.talking;
}
