#pragma once

#include "SimClock.h"
#include "SimState.h"

namespace VorelSim {

// Runs the meetings whose status is "active": the mirror server starts up, simulated guests
// join, talk and fall silent, everybody drifts about the room, and a meeting whose license
// time is over stops. Time is the stand-in's clock; the simulation catches up in steps
// whenever it is looked at, so a frozen clock freezes the meeting too.
class LiveMeetings
{
public:
    static constexpr int stepSeconds = 5;
    static constexpr int mirrorStartupSeconds = 10;

    LiveMeetings(SimState &state, const SimClock &clock, quint32 seed);

    void start(Meeting &meeting, const QString &startedBy);
    // Starts a meeting that has been running for a while already (fixture state).
    void resume(Meeting &meeting, qint64 runningSeconds);
    void stop(Meeting &meeting, const QString &reason);
    void catchUp();

    Participant &join(Meeting &meeting, const QString &alias)
    {
        return join(meeting, alias, m_clock.now());
    }
    bool leave(Meeting &meeting, int clientId, const QString &reason);
    Participant *participant(Meeting &meeting, int clientId);

private:
    Participant &join(Meeting &meeting, const QString &alias, const QDateTime &at);
    void step(Meeting &meeting, const QDateTime &at);
    void stepGuests(Meeting &meeting, const QDateTime &at);
    void leaveOrReturn(Meeting &meeting, const QDateTime &at);
    int participantLimit(const Meeting &meeting) const;
    QString guestAlias(const Meeting &meeting) const;

    SimState &m_state;
    const SimClock &m_clock;
    quint32 m_seed;
};

} // namespace VorelSim
