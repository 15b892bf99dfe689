#pragma once

#include "AttendanceRecords.h"
#include "LivePoll.h"

#include <QMap>

// Turns the polls of the running meetings into attendance sessions. Someone missing from one
// poll and back in the next has not left; missing from two polls, they left and a return is
// another join. A poll answered within half an interval of the last one counted (a refresh,
// a new selection) is not counted again.
class AttendanceRecorder
{
public:
    explicit AttendanceRecorder(int pollSeconds) : pollSeconds(pollSeconds) {}

    // The sessions this poll started, went on with or ended, each with the rows it touched.
    QList<SessionUpdate> record(const LivePoll &poll);
    // Forgets the open sessions without ending them (another user's records follow).
    void clear()
    {
        open.clear();
        lastCounted = {};
    }

private:
    struct Presence
    {
        AttendanceRow row;
        int missed = 0; // polls in a row without them; 0 while they are there
    };
    struct OpenSession
    {
        AttendanceSession session;
        QMap<QString, Presence> people;
    };

    SessionUpdate follow(OpenSession &open, const SeenMeeting &meeting, const QDateTime &at);
    static bool see(Presence &presence, const SeenParticipant &seen, const QDateTime &at);

    int pollSeconds;
    QMap<QString, OpenSession> open;
    QDateTime lastCounted;
};
