#pragma once

#include "Router.h"
#include "ServiceContext.h"

namespace VorelSim {

// The main service's view into meetings: the listing of meetings with their live state, the
// meeting info with its assets, bundles, spawn points and clients, the commands into a running
// meeting and a meeting's mirror log.
class RoomService
{
public:
    static inline const QString source = QStringLiteral("zelt-service");

    explicit RoomService(ServiceContext &context) : m_context(context) {}
    void addRoutes(Router &router, const QString &base);

    // The ZeltMeetingInfo of a meeting as the service reports it.
    QJsonObject infoJson(const Meeting &meeting) const;

private:
    HttpReply meetings(const HttpRequest &request);
    HttpReply info(const HttpRequest &request, const QString &meetingId);
    HttpReply updateInfo(const HttpRequest &request, const QString &meetingId);
    HttpReply addAsset(const HttpRequest &request, const QString &meetingId);
    HttpReply deleteAsset(const HttpRequest &request, const QString &meetingId,
                          const QString &assetId);
    HttpReply command(const HttpRequest &request, const QString &meetingId);
    HttpReply mirrorLog(const HttpRequest &request, const QString &meetingId);

    // The meeting the caller may work on, after authentication, lookup and permission; null
    // with *error set otherwise.
    Meeting *accessibleMeeting(const HttpRequest &request, const QString &meetingId,
                               const User **caller, HttpReply *error);
    void applyClientChanges(Meeting &meeting, const QJsonArray &clients);
    HttpReply runCommand(Meeting &meeting, const User &caller, const QString &command,
                         const QStringList &params);
    int nextAssetId(const Meeting &meeting) const;

    ServiceContext &m_context;
};

} // namespace VorelSim
