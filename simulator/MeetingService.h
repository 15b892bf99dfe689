#pragma once

#include "Router.h"
#include "ServiceContext.h"

namespace VorelSim {

// The meeting service under "/meetings": the stored meeting definitions. A change of a
// meeting's status to "active" starts it, back to "pending" stops it.
class MeetingService
{
public:
    static inline const QString source = QStringLiteral("meeting-service");

    explicit MeetingService(ServiceContext &context) : m_context(context) {}
    void addRoutes(Router &router, const QString &base);

private:
    HttpReply list(const HttpRequest &request);
    HttpReply create(const HttpRequest &request);
    HttpReply update(const HttpRequest &request, const QString &meetingId);
    HttpReply remove(const HttpRequest &request, const QString &meetingId);

    // The caller when the service wants authentication; *anonymous is set when it does not.
    const User *caller(const HttpRequest &request, bool *anonymous, HttpReply *denied) const;
    bool mayManage(const User *caller, const Meeting &meeting) const;
    // Checks the values of a meeting body; the error text, or empty.
    static QString valueError(const QJsonObject &body);
    void applyStatus(Meeting &meeting, const QString &status, const QString &actor);
    QString newMeetingId() const;

    ServiceContext &m_context;
};

} // namespace VorelSim
