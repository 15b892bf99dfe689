#pragma once

#include "Router.h"

namespace VorelSim {

class SimulatorServer;

// The stand-in's control functions over HTTP, for tests and tools that run vorel-sim as a
// separate process. Requests here are neither recorded nor subject to injected failures.
class ControlService
{
public:
    static inline const QString source = QStringLiteral("control");

    explicit ControlService(SimulatorServer &server) : m_server(server) {}
    void addRoutes(Router &router, const QString &base);

private:
    HttpReply fail(const HttpRequest &request);
    HttpReply expireTokens(const HttpRequest &request);
    HttpReply serviceVersion(const HttpRequest &request);
    HttpReply publishedVersion(const HttpRequest &request, const QString &kind);
    HttpReply addParticipant(const HttpRequest &request, const QString &meetingId);
    HttpReply removeParticipant(const QString &meetingId, const QString &clientId);
    HttpReply received(const HttpRequest &request) const;
    HttpReply clock(const HttpRequest &request);

    SimulatorServer &m_server;
};

} // namespace VorelSim
