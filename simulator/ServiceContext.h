#pragma once

#include "HttpExchange.h"
#include "LiveMeetings.h"
#include "SimClock.h"
#include "SimState.h"
#include "SimulatorConfig.h"
#include "TokenStore.h"

namespace VorelSim {

// What every service works on: the configuration, the state, the clock, the sessions and the
// running meetings, all owned by the server.
struct ServiceContext
{
    SimulatorConfig &config;
    SimState &state;
    SimClock &clock;
    TokenStore &tokens;
    LiveMeetings &live;
    QString baseUrl; // "http://host:port" once listening

    // The user behind the request's bearer token. Without a live token the result is null and
    // *denied holds the 401 reply.
    const User *authenticate(const HttpRequest &request, const QString &source,
                             HttpReply *denied) const;
    QDateTime now() const { return clock.now(); }
    QString today() const { return clock.now().date().toString(Qt::ISODate); }
    void log(const QString &level, const QString &text)
    {
        state.serviceLog.add(now(), level, text);
    }

    // The "count" query parameter of the log endpoints: a whole number from 0 up.
    static bool readLineCount(const HttpRequest &request, const QString &source, int *count,
                              HttpReply *error);
};

} // namespace VorelSim
