#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One participant's attendance in one meeting session. Times present and talking count polls,
// each worth the poll interval.
struct AttendanceRow
{
    QString key; // the login, or the alias of a participant without one
    QString alias;
    QString user;
    QString role;
    QDateTime firstSeen;
    QDateTime lastSeen;
    int presentPolls = 0;
    int talkingPolls = 0;
    int roleChanges = 0;
    int joins = 0;

    bool operator==(const AttendanceRow &other) const;
};

// How many were there, and how many talked, at one poll.
struct AttendanceSample
{
    QDateTime at;
    int participants = 0;
    int talkers = 0;
};

// A meeting from the poll that first saw it running to the one that saw it stop.
struct AttendanceSession
{
    QString id;
    QString meetingKey;
    QString meetingId;
    QDateTime started;
    QDateTime ended; // invalid while it runs
    int pollSeconds = 10;

    bool isOpen() const { return !ended.isValid(); }
};

// What one poll changed of one session: its header, the rows it touched, its sample.
struct SessionUpdate
{
    AttendanceSession session;
    QList<AttendanceRow> rows;
    std::optional<AttendanceSample> sample;
};
