#include "ControlService.h"

#include "JsonRules.h"
#include "SimulatorServer.h"

namespace VorelSim {

namespace {
QJsonObject headersJson(const HeaderList &headers)
{
    QJsonObject object;
    for (const auto &[name, value] : headers)
        object.insert(QString::fromUtf8(name), QString::fromUtf8(value));
    return object;
}
} // namespace

void ControlService::addRoutes(Router &router, const QString &base)
{
    router.add("POST", base + QStringLiteral("/fail"), QStringLiteral("control"),
               [this](const HttpRequest &request, const QStringList &) { return fail(request); });
    router.add(
        "POST", base + QStringLiteral("/tokens/expire"), QStringLiteral("control"),
        [this](const HttpRequest &request, const QStringList &) { return expireTokens(request); });
    router.add("PUT", base + QStringLiteral("/service-version"), QStringLiteral("control"),
               [this](const HttpRequest &request, const QStringList &) {
                   return serviceVersion(request);
               });
    router.add("PUT", base + QStringLiteral("/versions/{}"), QStringLiteral("control"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return publishedVersion(request, params.at(0));
               });
    router.add("POST", base + QStringLiteral("/meetings/{}/participants"),
               QStringLiteral("control"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return addParticipant(request, params.at(0));
               });
    router.add("DELETE", base + QStringLiteral("/meetings/{}/participants/{}"),
               QStringLiteral("control"), [this](const HttpRequest &, const QStringList &params) {
                   return removeParticipant(params.at(0), params.at(1));
               });
    router.add(
        "GET", base + QStringLiteral("/received"), QStringLiteral("control"),
        [this](const HttpRequest &request, const QStringList &) { return received(request); });
    router.add("DELETE", base + QStringLiteral("/received"), QStringLiteral("control"),
               [this](const HttpRequest &, const QStringList &) {
                   m_server.clearReceived();
                   return emptyReply(204);
               });
    router.add("POST", base + QStringLiteral("/clock"), QStringLiteral("control"),
               [this](const HttpRequest &request, const QStringList &) { return clock(request); });
}

HttpReply ControlService::fail(const HttpRequest &request)
{
    HttpReply error;
    const auto body = JsonRules::readObject(request,
                                            {{"operation", JsonRules::Kind::String},
                                             {"count", JsonRules::Kind::Integer},
                                             {"status", JsonRules::Kind::Integer}},
                                            source, &error);
    if (!body)
        return error;
    const QString operation = body->value(QStringLiteral("operation")).toString();
    const int status = body->value(QStringLiteral("status")).toInt(503);
    if (operation.isEmpty() || status < 400 || status > 599)
        return errorReply(400, QStringLiteral("Need an operation and a status from 400 to 599"),
                          source);
    m_server.failNext(operation, body->value(QStringLiteral("count")).toInt(1), status);
    return emptyReply(204);
}

HttpReply ControlService::expireTokens(const HttpRequest &request)
{
    HttpReply error;
    const auto body = JsonRules::readObject(
        request, {{"user", JsonRules::Kind::String}, {"sessions", JsonRules::Kind::Bool}}, source,
        &error);
    if (!body)
        return error;
    const QString login = body->value(QStringLiteral("user")).toString();
    const bool done = body->value(QStringLiteral("sessions")).toBool()
                          ? m_server.endSessions(login)
                          : m_server.expireAccessTokens(login);
    return done ? emptyReply(204)
                : errorReply(404, QStringLiteral("Unknown user: %1").arg(login), source);
}

HttpReply ControlService::serviceVersion(const HttpRequest &request)
{
    HttpReply error;
    const auto body =
        JsonRules::readObject(request, {{"version", JsonRules::Kind::String}}, source, &error);
    if (!body)
        return error;
    m_server.setServiceVersion(body->value(QStringLiteral("version")).toString());
    return emptyReply(204);
}

HttpReply ControlService::publishedVersion(const HttpRequest &request, const QString &kind)
{
    HttpReply error;
    const auto body = JsonRules::readObject(
        request,
        {{"Version", JsonRules::Kind::NumberArray}, {"UpdateUrl", JsonRules::Kind::String}}, source,
        &error);
    if (!body)
        return error;
    QList<int> version;
    for (const QJsonValue &part : body->value(QStringLiteral("Version")).toArray())
        version.append(part.toInt());
    m_server.setPublishedVersion(kind, version,
                                 body->value(QStringLiteral("UpdateUrl")).toString());
    return emptyReply(204);
}

HttpReply ControlService::addParticipant(const HttpRequest &request, const QString &meetingId)
{
    HttpReply error;
    const auto body =
        JsonRules::readObject(request, {{"Alias", JsonRules::Kind::String}}, source, &error);
    if (!body)
        return error;
    const int id =
        m_server.addParticipant(meetingId, body->value(QStringLiteral("Alias")).toString());
    if (id < 0)
        return errorReply(409, QStringLiteral("Meeting %1 is not running").arg(meetingId), source);
    return jsonReply(QJsonObject{{QStringLiteral("Id"), id}}, 201);
}

HttpReply ControlService::removeParticipant(const QString &meetingId, const QString &clientId)
{
    bool ok = false;
    const int id = clientId.toInt(&ok);
    if (!ok || !m_server.removeParticipant(meetingId, id))
        return errorReply(
            404, QStringLiteral("No client %1 in meeting %2").arg(clientId, meetingId), source);
    return emptyReply(204);
}

HttpReply ControlService::received(const HttpRequest &request) const
{
    QJsonArray reply;
    for (const ReceivedRequest &entry :
         m_server.received(request.queryValue(QStringLiteral("operation")))) {
        reply.append(
            QJsonObject{{QStringLiteral("operation"), entry.operation},
                        {QStringLiteral("method"), QString::fromUtf8(entry.request.method)},
                        {QStringLiteral("path"), entry.request.path},
                        {QStringLiteral("query"), entry.request.query.toString(QUrl::FullyEncoded)},
                        {QStringLiteral("headers"), headersJson(entry.request.headers)},
                        {QStringLiteral("body"), QString::fromUtf8(entry.request.body)},
                        {QStringLiteral("status"), entry.status},
                        {QStringLiteral("at"), entry.at.toString(Qt::ISODateWithMs)}});
    }
    return jsonReply(reply);
}

HttpReply ControlService::clock(const HttpRequest &request)
{
    HttpReply error;
    const auto body = JsonRules::readObject(request,
                                            {{"freeze", JsonRules::Kind::Bool},
                                             {"resume", JsonRules::Kind::Bool},
                                             {"advance", JsonRules::Kind::Integer}},
                                            source, &error);
    if (!body)
        return error;
    if (body->value(QStringLiteral("freeze")).toBool())
        m_server.freezeClock();
    if (body->value(QStringLiteral("resume")).toBool())
        m_server.resumeClock();
    m_server.advanceClock(body->value(QStringLiteral("advance")).toInteger());
    return jsonReply(
        QJsonObject{{QStringLiteral("now"), m_server.now().toString(Qt::ISODateWithMs)}});
}

} // namespace VorelSim
