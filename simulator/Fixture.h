#pragma once

#include "LiveMeetings.h"
#include "SimState.h"
#include "SimulatorConfig.h"

namespace VorelSim {

// Loads the platform's state from a JSON fixture (see README: "The platform stand-in").
// Storage attributes of groups may name the configured storage with the placeholders
// ${S3_ENDPOINT}, ${S3_BUCKET}, ${S3_KEY} and ${S3_SECRET}.
class Fixture
{
public:
    static bool loadFile(const QString &path, const SimulatorConfig &config, SimState &state,
                         LiveMeetings &live, QString *error);
    static bool load(const QJsonObject &fixture, const SimulatorConfig &config, SimState &state,
                     LiveMeetings &live, QString *error);

private:
    static bool loadUsers(const QJsonArray &users, SimState &state, QString *error);
    static bool loadMeetings(const QJsonArray &meetings, SimState &state, LiveMeetings &live,
                             QString *error);
    static void loadLive(const QJsonObject &live, Meeting &meeting, LiveMeetings &running);
    static QJsonValue substituted(const QJsonValue &value, const SimulatorConfig &config);
};

} // namespace VorelSim
