#include "MeetingService.h"

#include "AccountRules.h"
#include "JsonRules.h"
#include "RandomText.h"

#include <algorithm>

namespace VorelSim {

namespace {
const QString keyStatus = QStringLiteral("status");
const QString keyLicense = QStringLiteral("license");
const QString keyCreatorId = QStringLiteral("creatorId");

bool inRange(const QJsonObject &body, const QString &name, const QList<int> &allowed)
{
    const QJsonValue value = body.value(name);
    return value.isUndefined() || value.isNull() || allowed.contains(value.toInt());
}

QString statusOf(const QJsonObject &body)
{
    return body.value(keyStatus).toString().toLower();
}

QString actorName(const User *caller)
{
    return caller ? caller->userId : QStringLiteral("anonymous");
}
} // namespace

void MeetingService::addRoutes(Router &router, const QString &base)
{
    const QString meetings = base + QStringLiteral("/meetings");
    router.add("GET", meetings, QStringLiteral("getMeetings"),
               [this](const HttpRequest &request, const QStringList &) { return list(request); });
    router.add("POST", meetings, QStringLiteral("createMeeting"),
               [this](const HttpRequest &request, const QStringList &) { return create(request); });
    router.add("PATCH", meetings + QStringLiteral("/{}"), QStringLiteral("updateMeeting"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return update(request, params.at(0));
               });
    router.add("DELETE", meetings + QStringLiteral("/{}"), QStringLiteral("deleteMeeting"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return remove(request, params.at(0));
               });
}

HttpReply MeetingService::list(const HttpRequest &request)
{
    bool anonymous = false;
    HttpReply denied;
    const User *user = caller(request, &anonymous, &denied);
    if (!user && !anonymous)
        return denied;
    if (!request.hasQueryItem(QStringLiteral("creator")))
        return errorReply(400, QStringLiteral("Missing query parameter: creator"), source);
    const QString creator = request.queryValue(QStringLiteral("creator"));
    if (creator.isEmpty())
        return errorReply(400, QStringLiteral("Query parameter creator must not be empty"), source);
    const bool all = creator == QLatin1String("*");
    if (user && all && !user->isAdministrator() && !user->isGroupAdministrator())
        return errorReply(403, QStringLiteral("Not allowed to list all meetings"), source);
    if (user && !all && !AccountRules::mayActForCreator(m_context.state, *user, creator))
        return errorReply(403, QStringLiteral("Not allowed to list the meetings of this user"),
                          source);

    m_context.live.catchUp();
    QList<const Meeting *> found;
    for (const Meeting &meeting : std::as_const(m_context.state.meetings)) {
        const bool wanted = all ? mayManage(user, meeting) : meeting.creatorId() == creator;
        if (wanted)
            found.append(&meeting);
    }
    std::sort(found.begin(), found.end(), [](const Meeting *a, const Meeting *b) {
        return a->definition.value(QStringLiteral("id")).toInteger() <
               b->definition.value(QStringLiteral("id")).toInteger();
    });
    QJsonArray reply;
    for (const Meeting *meeting : found)
        reply.append(meeting->definition);
    return jsonReply(reply);
}

HttpReply MeetingService::create(const HttpRequest &request)
{
    bool anonymous = false;
    HttpReply error;
    const User *user = caller(request, &anonymous, &error);
    if (!user && !anonymous)
        return error;
    auto body = JsonRules::readObject(request, JsonRules::meetingFields, source, &error);
    if (!body)
        return error;
    if (body->value(QStringLiteral("title")).toString().trimmed().isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: title"), source);
    if (!body->contains(keyLicense))
        body->insert(keyLicense, QStringLiteral("default"));
    if (!body->contains(keyStatus))
        body->insert(keyStatus, QStringLiteral("pending"));
    const QString invalid = valueError(*body);
    if (!invalid.isEmpty())
        return errorReply(400, invalid, source);

    const QString creatorId = body->value(keyCreatorId).toString(user ? user->id : QString());
    const User *creator = m_context.state.userById(creatorId);
    if (!creator)
        return errorReply(400, QStringLiteral("Unknown creator"), source);
    if (user && !AccountRules::mayActForCreator(m_context.state, *user, creatorId))
        return errorReply(403, QStringLiteral("Not allowed to create meetings for this user"),
                          source);

    Meeting meeting;
    meeting.definition = *body;
    meeting.definition.insert(QStringLiteral("id"), m_context.state.nextMeetingNumber++);
    meeting.definition.insert(QStringLiteral("meetingId"), newMeetingId());
    meeting.definition.insert(keyCreatorId, creator->id);
    meeting.definition.insert(QStringLiteral("creator"), creator->userId);
    meeting.definition.insert(QStringLiteral("created"), m_context.today());
    meeting.definition.insert(QStringLiteral("modified"), m_context.today());
    meeting.definition.insert(keyStatus, QStringLiteral("pending"));
    if (!body->contains(QStringLiteral("presenter")))
        meeting.definition.insert(QStringLiteral("presenter"),
                                  QJsonObject{{QStringLiteral("name"), creator->fullName()},
                                              {QStringLiteral("email"), creator->email}});
    const QString key = meeting.key();
    m_context.state.meetings.insert(key, meeting);
    Meeting &stored = m_context.state.meetings[key];
    m_context.log(
        QStringLiteral("INFO"),
        QStringLiteral("Meeting %1 created by %2").arg(stored.meetingId(), actorName(user)));
    applyStatus(stored, statusOf(*body), actorName(user));
    return jsonReply(stored.definition, 201);
}

HttpReply MeetingService::update(const HttpRequest &request, const QString &meetingId)
{
    bool anonymous = false;
    HttpReply error;
    const User *user = caller(request, &anonymous, &error);
    if (!user && !anonymous)
        return error;
    m_context.live.catchUp();
    Meeting *meeting = m_context.state.meeting(meetingId);
    if (!meeting)
        return errorReply(404, QStringLiteral("Meeting not found: %1").arg(meetingId), source);
    if (!mayManage(user, *meeting))
        return errorReply(403, QStringLiteral("Not allowed to modify meeting"), source);
    const auto body = JsonRules::readObject(request, JsonRules::meetingFields, source, &error);
    if (!body)
        return error;
    const QString invalid = valueError(*body);
    if (!invalid.isEmpty())
        return errorReply(400, invalid, source);
    if (body->contains(QStringLiteral("meetingId")) &&
        body->value(QStringLiteral("meetingId")).toString().toLower() != meeting->key())
        return errorReply(400, QStringLiteral("meetingId does not match the path"), source);
    if (body->contains(QStringLiteral("id")) &&
        body->value(QStringLiteral("id")).toInteger() !=
            meeting->definition.value(QStringLiteral("id")).toInteger())
        return errorReply(400, QStringLiteral("id does not match the meeting"), source);
    if (body->contains(QStringLiteral("title")) &&
        body->value(QStringLiteral("title")).toString().trimmed().isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: title"), source);
    const QString newCreator = body->value(keyCreatorId).toString(meeting->creatorId());
    if (newCreator != meeting->creatorId() && (user && !user->isAdministrator()))
        return errorReply(403, QStringLiteral("Not allowed to change the creator of a meeting"),
                          source);
    const User *creator = m_context.state.userById(newCreator);
    if (!creator)
        return errorReply(400, QStringLiteral("Unknown creator"), source);
    const QString newStatus = body->contains(keyStatus) ? statusOf(*body) : meeting->status();
    const bool staysActive = meeting->isActive() && newStatus == QLatin1String("active");
    if (staysActive && body->contains(keyLicense) &&
        body->value(keyLicense).toString() != meeting->license())
        return errorReply(409, QStringLiteral("License cannot be changed while meeting is started"),
                          source);

    for (auto it = body->begin(); it != body->end(); ++it) {
        static const QStringList fixed = {QStringLiteral("id"), QStringLiteral("meetingId"),
                                          QStringLiteral("created"), QStringLiteral("modified"),
                                          keyStatus};
        if (!fixed.contains(it.key()))
            meeting->definition.insert(it.key(), it.value());
    }
    meeting->definition.insert(QStringLiteral("creator"), creator->userId);
    meeting->definition.insert(QStringLiteral("modified"), m_context.today());
    applyStatus(*meeting, newStatus, actorName(user));
    return jsonReply(meeting->definition);
}

HttpReply MeetingService::remove(const HttpRequest &request, const QString &meetingId)
{
    bool anonymous = false;
    HttpReply denied;
    const User *user = caller(request, &anonymous, &denied);
    if (!user && !anonymous)
        return denied;
    Meeting *meeting = m_context.state.meeting(meetingId);
    if (!meeting)
        return errorReply(404, QStringLiteral("Meeting not found: %1").arg(meetingId), source);
    if (!mayManage(user, *meeting))
        return errorReply(403, QStringLiteral("Not allowed to delete meeting"), source);
    m_context.live.stop(*meeting, QStringLiteral("meeting deleted"));
    m_context.log(
        QStringLiteral("INFO"),
        QStringLiteral("Meeting %1 deleted by %2").arg(meeting->meetingId(), actorName(user)));
    m_context.state.meetings.remove(meeting->key());
    return emptyReply(204);
}

const User *MeetingService::caller(const HttpRequest &request, bool *anonymous,
                                   HttpReply *denied) const
{
    *anonymous = !m_context.config.meetingServiceAuth;
    if (*anonymous)
        return nullptr;
    return m_context.authenticate(request, source, denied);
}

bool MeetingService::mayManage(const User *caller, const Meeting &meeting) const
{
    return !caller || AccountRules::mayManageMeeting(m_context.state, *caller, meeting);
}

QString MeetingService::valueError(const QJsonObject &body)
{
    if (body.contains(keyLicense) && !licenseTerms(body.value(keyLicense).toString()))
        return QStringLiteral("Unknown license: %1").arg(body.value(keyLicense).toString());
    const QString status = statusOf(body);
    if (body.contains(keyStatus) && status != QLatin1String("pending") &&
        status != QLatin1String("active"))
        return QStringLiteral("Unknown status: %1").arg(body.value(keyStatus).toString());
    if (!inRange(body, QStringLiteral("audioMode"), {0, 1, 2}))
        return QStringLiteral("Invalid value for 'audioMode'");
    if (!inRange(body, QStringLiteral("audioMode3D"), {0, 10}))
        return QStringLiteral("Invalid value for 'audioMode3D'");
    if (!inRange(body, QStringLiteral("chatMode"), {0, 1}))
        return QStringLiteral("Invalid value for 'chatMode'");
    return {};
}

void MeetingService::applyStatus(Meeting &meeting, const QString &status, const QString &actor)
{
    const bool wasActive = meeting.live.has_value();
    meeting.definition.insert(keyStatus, status);
    if (status == QLatin1String("active") && !wasActive)
        m_context.live.start(meeting, actor);
    else if (status == QLatin1String("pending") && wasActive)
        m_context.live.stop(meeting, QStringLiteral("stopped by %1").arg(actor));
}

QString MeetingService::newMeetingId() const
{
    QString id;
    do {
        id = RandomText::fromAlphabet(QStringLiteral("abcdefghjkmnpqrstuvwxyz23456789"), 8);
    } while (m_context.state.meetings.contains(id));
    return id;
}

} // namespace VorelSim
