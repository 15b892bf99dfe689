#include "RoomService.h"

#include "AccountRules.h"
#include "Banlist.h"
#include "JsonRules.h"

namespace VorelSim {

namespace {
const QString keyId = QStringLiteral("Id");
const QString keyMode = QStringLiteral("Mode");
const QString keyRelPath = QStringLiteral("StgRelPath");
const QString commandKick = QStringLiteral("KickPlayer");
const QString commandMessage = QStringLiteral("SendMessage");
const QString commandPosition = QStringLiteral("GetPlayerPos");
constexpr int firstPlaceholderId = 22000;

const JsonRules::Fields infoFields = {
    {"meetingId", JsonRules::Kind::String},
    {"statusMirror", JsonRules::Kind::Integer},
    {"endingTime", JsonRules::Kind::String},
    {"licenseMode", JsonRules::Kind::Integer},
    {"licenseCountAttendees", JsonRules::Kind::Integer},
    {"voiceMode", JsonRules::Kind::Integer},
    {"voiceMode3D", JsonRules::Kind::Integer},
    {"chatMode", JsonRules::Kind::Integer},
    {"clients", JsonRules::Kind::Array},
    {"assets", JsonRules::Kind::Array},
    {"assetBundles", JsonRules::Kind::Array},
    {"spawnPoints", JsonRules::Kind::Array},
};

const JsonRules::Fields commandFields = {
    {"meetingId", JsonRules::Kind::String},
    {"command", JsonRules::Kind::String},
    {"params", JsonRules::Kind::StringArray},
};

bool namesOtherMeeting(const QJsonObject &object, const QString &member, const Meeting &meeting)
{
    const QString named = object.value(member).toString();
    return !named.isEmpty() && named.toLower() != meeting.key();
}

// What is wrong with an asset, or empty.
QString assetError(const QJsonObject &asset)
{
    const QString typeError = JsonRules::typeError(asset, JsonRules::assetFields);
    if (!typeError.isEmpty())
        return typeError;
    const QJsonValue mode = asset.value(keyMode);
    if (!mode.isDouble() || mode.toInt() < 0 || mode.toInt() > urlAssetMode)
        return QStringLiteral("Asset Mode must be 0 to 3");
    if (asset.value(keyRelPath).toString().trimmed().isEmpty())
        return QStringLiteral("Missing required field: StgRelPath");
    if (asset.value(keyId).toInt() < 0)
        return QStringLiteral("Asset Id must not be negative");
    return {};
}

QString spawnPointError(const QJsonValue &value)
{
    if (!value.isObject())
        return QStringLiteral("Spawn points must be objects");
    return JsonRules::typeError(value.toObject(), JsonRules::spawnPointFields);
}

QString clientError(const QJsonValue &value)
{
    if (!value.isObject())
        return QStringLiteral("Clients must be objects");
    const QJsonObject client = value.toObject();
    const QString typeError = JsonRules::typeError(client, JsonRules::clientFields);
    if (!typeError.isEmpty())
        return typeError;
    if (!client.contains(keyId))
        return QStringLiteral("Missing required field: Id");
    const QJsonValue role = client.value(QStringLiteral("currentRole"));
    if (!role.isUndefined() && role != QLatin1String("Presenter") && role != QLatin1String("User"))
        return QStringLiteral("Invalid role: %1").arg(role.toString());
    return {};
}

// Assigns the ids of assets sent with Id 0: the smallest free ids below the placeholder slots.
void assignAssetIds(QList<QJsonObject> &assets)
{
    QSet<int> used;
    for (const QJsonObject &asset : assets)
        used.insert(asset.value(keyId).toInt());
    int candidate = 1;
    for (QJsonObject &asset : assets) {
        if (asset.value(keyId).toInt() != 0)
            continue;
        while (used.contains(candidate) && candidate < firstPlaceholderId)
            ++candidate;
        asset.insert(keyId, candidate);
        used.insert(candidate);
    }
}

// Puts an asset into the list, replacing the one with the same id.
void putAsset(QList<QJsonObject> &assets, const QJsonObject &asset)
{
    for (QJsonObject &existing : assets) {
        if (existing.value(keyId).toInt() == asset.value(keyId).toInt()) {
            existing = asset;
            return;
        }
    }
    assets.append(asset);
}

QJsonObject normalizedAsset(QJsonObject asset, const Meeting &meeting)
{
    asset.insert(QStringLiteral("MeetingId"), meeting.meetingId());
    if (!asset.contains(keyId))
        asset.insert(keyId, 0);
    // A URL placeholder is used as it stands; there is nothing to sign.
    if (asset.value(keyMode).toInt() == urlAssetMode &&
        asset.value(QStringLiteral("StgPreSgnPath")).toString().isEmpty())
        asset.insert(QStringLiteral("StgPreSgnPath"), asset.value(keyRelPath));
    return asset;
}

QJsonArray toArray(const QList<QJsonObject> &objects)
{
    QJsonArray array;
    for (const QJsonObject &object : objects)
        array.append(object);
    return array;
}
} // namespace

void RoomService::addRoutes(Router &router, const QString &base)
{
    const QString svc = base + QStringLiteral("/zelt/svc");
    const QString meeting = svc + QStringLiteral("/meeting/{}");
    router.add(
        "GET", svc + QStringLiteral("/meetings"), QStringLiteral("serviceMeetings"),
        [this](const HttpRequest &request, const QStringList &) { return meetings(request); });
    router.add("GET", meeting + QStringLiteral("/info"), QStringLiteral("meetingInfo"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return info(request, params.at(0));
               });
    router.add("PUT", meeting + QStringLiteral("/info"), QStringLiteral("meetingInfoUpdate"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return updateInfo(request, params.at(0));
               });
    router.add("POST", meeting + QStringLiteral("/asset"), QStringLiteral("assetAdd"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return addAsset(request, params.at(0));
               });
    router.add("DELETE", meeting + QStringLiteral("/asset/{}"), QStringLiteral("assetDelete"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return deleteAsset(request, params.at(0), params.at(1));
               });
    router.add("POST", meeting + QStringLiteral("/command"), QStringLiteral("meetingCommand"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return command(request, params.at(0));
               });
    router.add("GET", svc + QStringLiteral("/{}/logfile"), QStringLiteral("meetingLogfile"),
               [this](const HttpRequest &request, const QStringList &params) {
                   return mirrorLog(request, params.at(0));
               });
}

QJsonObject RoomService::infoJson(const Meeting &meeting) const
{
    const QJsonObject &definition = meeting.definition;
    QJsonObject info{{QStringLiteral("meetingId"), meeting.meetingId()}};
    QJsonArray clients;
    if (meeting.live) {
        info.insert(QStringLiteral("statusMirror"), meeting.live->statusMirror);
        if (meeting.live->endsAt)
            info.insert(QStringLiteral("endingTime"), meeting.live->endsAt->toString(Qt::TextDate));
        for (const Participant &participant : meeting.live->participants)
            clients.append(participant.toJson(meeting.meetingId()));
    }
    const auto terms = licenseTerms(meeting.license());
    info.insert(QStringLiteral("licenseMode"), terms ? terms->mode : 0);
    info.insert(QStringLiteral("licenseCountAttendees"), terms ? terms->attendees : 0);
    info.insert(QStringLiteral("voiceMode"), definition.value(QStringLiteral("audioMode")).toInt());
    info.insert(QStringLiteral("voiceMode3D"),
                definition.value(QStringLiteral("audioMode3D")).toInt());
    info.insert(QStringLiteral("chatMode"), definition.value(QStringLiteral("chatMode")).toInt());
    info.insert(QStringLiteral("clients"), clients);
    info.insert(QStringLiteral("assets"), toArray(meeting.assets));
    QJsonArray bundles;
    for (const QString &bundleId : meeting.bundleIds) {
        if (const QJsonObject *bundle = m_context.state.bundle(bundleId))
            bundles.append(*bundle);
    }
    info.insert(QStringLiteral("assetBundles"), bundles);
    info.insert(QStringLiteral("spawnPoints"), meeting.spawnPoints);
    return info;
}

HttpReply RoomService::meetings(const HttpRequest &request)
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    m_context.live.catchUp();
    QJsonArray reply;
    for (const Meeting &meeting : std::as_const(m_context.state.meetings)) {
        if (AccountRules::mayManageMeeting(m_context.state, *caller, meeting))
            reply.append(infoJson(meeting));
    }
    return jsonReply(reply);
}

HttpReply RoomService::info(const HttpRequest &request, const QString &meetingId)
{
    const User *caller = nullptr;
    HttpReply error;
    const Meeting *meeting = accessibleMeeting(request, meetingId, &caller, &error);
    return meeting ? jsonReply(infoJson(*meeting)) : error;
}

HttpReply RoomService::updateInfo(const HttpRequest &request, const QString &meetingId)
{
    const User *caller = nullptr;
    HttpReply error;
    Meeting *meeting = accessibleMeeting(request, meetingId, &caller, &error);
    if (!meeting)
        return error;
    const auto body = JsonRules::readObject(request, infoFields, source, &error);
    if (!body)
        return error;
    if (namesOtherMeeting(*body, QStringLiteral("meetingId"), *meeting))
        return errorReply(400, QStringLiteral("meetingId does not match the path"), source);

    // Everything is checked before anything changes. Lists the body leaves out are empty.
    QList<QJsonObject> assets;
    for (const QJsonValue &value : body->value(QStringLiteral("assets")).toArray()) {
        const QString problem = value.isObject() ? assetError(value.toObject())
                                                 : QStringLiteral("Assets must be objects");
        if (!problem.isEmpty())
            return errorReply(400, problem, source);
        const QJsonObject asset = normalizedAsset(value.toObject(), *meeting);
        if (const QJsonObject *ban = Banlist::findBan(m_context.state.banlist, asset))
            return errorReply(403,
                              QStringLiteral("Asset is on the banlist (entry #%1)")
                                  .arg(ban->value(keyId).toInt()),
                              source);
        putAsset(assets, asset);
    }
    QStringList bundleIds;
    for (const QJsonValue &value : body->value(QStringLiteral("assetBundles")).toArray()) {
        const QString bundleId = value.toObject().value(keyId).toString();
        if (!m_context.state.bundle(bundleId))
            return errorReply(400, QStringLiteral("Unknown asset bundle: %1").arg(bundleId),
                              source);
        if (!bundleIds.contains(bundleId))
            bundleIds.append(bundleId);
    }
    if (bundleIds.size() > 1)
        return errorReply(400, QStringLiteral("Only one asset bundle can be assigned to a meeting"),
                          source);
    QJsonArray spawnPoints;
    for (const QJsonValue &value : body->value(QStringLiteral("spawnPoints")).toArray()) {
        const QString problem = spawnPointError(value);
        if (!problem.isEmpty())
            return errorReply(400, problem, source);
        QJsonObject point = value.toObject();
        point.insert(QStringLiteral("MeetingId"), meeting->meetingId());
        spawnPoints.append(point);
    }
    const QJsonArray clients = body->value(QStringLiteral("clients")).toArray();
    for (const QJsonValue &value : clients) {
        const QString problem = clientError(value);
        if (!problem.isEmpty())
            return errorReply(400, problem, source);
    }

    m_context.live.catchUp();
    assignAssetIds(assets);
    meeting->assets = assets;
    meeting->bundleIds = bundleIds;
    meeting->spawnPoints = spawnPoints;
    applyClientChanges(*meeting, clients);
    m_context.log(QStringLiteral("INFO"), QStringLiteral("Meeting info of %1 updated by %2")
                                              .arg(meeting->meetingId(), caller->userId));
    return emptyReply(204);
}

HttpReply RoomService::addAsset(const HttpRequest &request, const QString &meetingId)
{
    const User *caller = nullptr;
    HttpReply error;
    Meeting *meeting = accessibleMeeting(request, meetingId, &caller, &error);
    if (!meeting)
        return error;
    const auto body = JsonRules::readObject(request, JsonRules::assetFields, source, &error);
    if (!body)
        return error;
    const QString problem = assetError(*body);
    if (!problem.isEmpty())
        return errorReply(400, problem, source);
    if (namesOtherMeeting(*body, QStringLiteral("MeetingId"), *meeting))
        return errorReply(400, QStringLiteral("MeetingId does not match the path"), source);
    QJsonObject asset = normalizedAsset(*body, *meeting);
    if (const QJsonObject *ban = Banlist::findBan(m_context.state.banlist, asset))
        return errorReply(
            403,
            QStringLiteral("Asset is on the banlist (entry #%1)").arg(ban->value(keyId).toInt()),
            source);
    if (asset.value(keyId).toInt() == 0)
        asset.insert(keyId, nextAssetId(*meeting));
    putAsset(meeting->assets, asset);
    m_context.log(QStringLiteral("INFO"),
                  QStringLiteral("Asset %1 (%2) added to meeting %3")
                      .arg(asset.value(keyId).toInt())
                      .arg(asset.value(keyRelPath).toString(), meeting->meetingId()));
    return jsonReply(asset);
}

HttpReply RoomService::deleteAsset(const HttpRequest &request, const QString &meetingId,
                                   const QString &assetId)
{
    const User *caller = nullptr;
    HttpReply error;
    Meeting *meeting = accessibleMeeting(request, meetingId, &caller, &error);
    if (!meeting)
        return error;
    bool ok = false;
    const int id = assetId.toInt(&ok);
    if (!ok)
        return errorReply(400, QStringLiteral("Invalid asset id: %1").arg(assetId), source);
    for (qsizetype i = 0; i < meeting->assets.size(); ++i) {
        if (meeting->assets.at(i).value(keyId).toInt() == id) {
            meeting->assets.removeAt(i);
            return emptyReply(204);
        }
    }
    return errorReply(
        404, QStringLiteral("Asset %1 not found in meeting %2").arg(id).arg(meetingId), source);
}

HttpReply RoomService::command(const HttpRequest &request, const QString &meetingId)
{
    const User *caller = nullptr;
    HttpReply error;
    Meeting *meeting = accessibleMeeting(request, meetingId, &caller, &error);
    if (!meeting)
        return error;
    const auto body = JsonRules::readObject(request, commandFields, source, &error);
    if (!body)
        return error;
    const QString word = body->value(QStringLiteral("command")).toString();
    if (word.isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: command"), source);
    if (namesOtherMeeting(*body, QStringLiteral("meetingId"), *meeting))
        return errorReply(400, QStringLiteral("meetingId does not match the path"), source);
    m_context.live.catchUp();
    if (!meeting->live)
        return errorReply(409, QStringLiteral("Meeting is not running"), source);
    if (meeting->live->statusMirror != 1)
        return errorReply(409, QStringLiteral("Mirror server is still starting"), source);
    QStringList params;
    for (const QJsonValue &param : body->value(QStringLiteral("params")).toArray())
        params.append(param.toString());
    return runCommand(*meeting, *caller, word, params);
}

HttpReply RoomService::runCommand(Meeting &meeting, const User &caller, const QString &word,
                                  const QStringList &params)
{
    QString canonical;
    for (const QString &known : {commandKick, commandMessage, commandPosition}) {
        if (known.compare(word, Qt::CaseInsensitive) == 0)
            canonical = known;
    }
    if (canonical.isEmpty())
        return errorReply(400, QStringLiteral("Unknown command: %1").arg(word), source);
    if (params.isEmpty() || params.first().isEmpty())
        return errorReply(400, QStringLiteral("Command %1 needs one parameter").arg(canonical),
                          source);

    QJsonObject response{{QStringLiteral("command"), canonical},
                         {QStringLiteral("meetingId"), meeting.meetingId()}};
    m_context.log(QStringLiteral("INFO"), QStringLiteral("Command %1 in meeting %2 by %3")
                                              .arg(canonical, meeting.meetingId(), caller.userId));
    if (canonical == commandMessage) {
        meeting.mirrorLog.add(
            m_context.now(), QStringLiteral("INFO"),
            QStringLiteral("Message from %1: %2").arg(caller.userId, params.first()));
        response.insert(QStringLiteral("sList"),
                        QJsonArray{QStringLiteral("Message delivered to %1 clients")
                                       .arg(meeting.live->participants.size())});
        return jsonReply(response);
    }
    bool ok = false;
    const int clientId = params.first().toInt(&ok);
    Participant *participant = ok ? m_context.live.participant(meeting, clientId) : nullptr;
    if (!ok)
        return errorReply(400, QStringLiteral("Invalid client id: %1").arg(params.first()), source);
    if (!participant)
        return errorReply(
            404,
            QStringLiteral("Client %1 is not in meeting %2").arg(clientId).arg(meeting.meetingId()),
            source);
    if (canonical == commandPosition) {
        response.insert(QStringLiteral("sList"), QJsonArray{participant->alias});
        response.insert(QStringLiteral("vList"),
                        QJsonArray{participant->position.toJson(), participant->rotation.toJson()});
        return jsonReply(response);
    }
    const QString alias = participant->alias;
    m_context.live.leave(meeting, clientId, QStringLiteral("kicked by %1").arg(caller.userId));
    response.insert(QStringLiteral("sList"),
                    QJsonArray{QStringLiteral("Client %1 (%2) kicked").arg(clientId).arg(alias)});
    return jsonReply(response);
}

HttpReply RoomService::mirrorLog(const HttpRequest &request, const QString &meetingId)
{
    const User *caller = nullptr;
    HttpReply error;
    const Meeting *meeting = accessibleMeeting(request, meetingId, &caller, &error);
    if (!meeting)
        return error;
    int count = 0;
    if (!ServiceContext::readLineCount(request, source, &count, &error))
        return error;
    m_context.live.catchUp();
    return textReply(meeting->mirrorLog.tail(count));
}

Meeting *RoomService::accessibleMeeting(const HttpRequest &request, const QString &meetingId,
                                        const User **caller, HttpReply *error)
{
    *caller = m_context.authenticate(request, source, error);
    if (!*caller)
        return nullptr;
    Meeting *meeting = m_context.state.meeting(meetingId);
    if (!meeting) {
        *error = errorReply(404, QStringLiteral("Meeting not found: %1").arg(meetingId), source);
        return nullptr;
    }
    if (!AccountRules::mayManageMeeting(m_context.state, **caller, *meeting)) {
        *error = errorReply(403, QStringLiteral("Not allowed to access meeting"), source);
        return nullptr;
    }
    return meeting;
}

void RoomService::applyClientChanges(Meeting &meeting, const QJsonArray &clients)
{
    // Clients that have left since the caller's last look are passed over.
    for (const QJsonValue &value : clients) {
        const QJsonObject client = value.toObject();
        Participant *participant = m_context.live.participant(meeting, client.value(keyId).toInt());
        if (!participant)
            continue;
        const QJsonValue voice = client.value(QStringLiteral("voiceEnabled"));
        if (voice.isBool() && voice.toBool() != participant->voiceEnabled) {
            participant->voiceEnabled = voice.toBool();
            participant->talking = participant->talking && participant->voiceEnabled;
            meeting.mirrorLog.add(
                m_context.now(), QStringLiteral("INFO"),
                QStringLiteral("Client %1 %2")
                    .arg(participant->id)
                    .arg(voice.toBool() ? QStringLiteral("unmuted") : QStringLiteral("muted")));
        }
        const QString role = client.value(QStringLiteral("currentRole")).toString();
        if (!role.isEmpty() && role != participant->role) {
            participant->role = role;
            meeting.mirrorLog.add(
                m_context.now(), QStringLiteral("INFO"),
                QStringLiteral("Client %1 is now %2").arg(participant->id).arg(role));
        }
    }
}

int RoomService::nextAssetId(const Meeting &meeting) const
{
    QList<QJsonObject> probe = meeting.assets;
    probe.append(QJsonObject{{keyId, 0}});
    assignAssetIds(probe);
    return probe.last().value(keyId).toInt();
}

} // namespace VorelSim
