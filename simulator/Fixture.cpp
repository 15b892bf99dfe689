#include "Fixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

namespace VorelSim {

namespace {
QStringList strings(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &element : value.toArray())
        list.append(element.toString());
    return list;
}

QList<QJsonObject> objects(const QJsonValue &value)
{
    QList<QJsonObject> list;
    for (const QJsonValue &element : value.toArray())
        list.append(element.toObject());
    return list;
}

// The number behind ids like "AB-7".
int numberSuffix(const QString &id)
{
    return id.section(QLatin1Char('-'), -1).toInt();
}
} // namespace

bool Fixture::loadFile(const QString &path, const SimulatorConfig &config, SimState &state,
                       LiveMeetings &live, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read fixture %1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("Fixture %1 is not a JSON object: %2")
                     .arg(path, parseError.errorString());
        return false;
    }
    return load(document.object(), config, state, live, error);
}

bool Fixture::load(const QJsonObject &fixture, const SimulatorConfig &config, SimState &state,
                   LiveMeetings &live, QString *error)
{
    state.serviceVersion =
        fixture.value(QStringLiteral("serviceVersion")).toString(state.serviceVersion);
    state.versions = fixture.value(QStringLiteral("versions")).toObject();
    for (const QJsonValue &group : fixture.value(QStringLiteral("groups")).toArray())
        state.groups.append(substituted(group, config).toObject());
    if (!loadUsers(fixture.value(QStringLiteral("users")).toArray(), state, error))
        return false;

    state.bundles = objects(fixture.value(QStringLiteral("assetBundles")));
    for (const QJsonObject &bundle : std::as_const(state.bundles))
        state.nextBundleNumber =
            qMax(state.nextBundleNumber,
                 numberSuffix(bundle.value(QStringLiteral("Id")).toString()) + 1);
    state.banlist = objects(fixture.value(QStringLiteral("banlist")));
    for (const QJsonObject &entry : std::as_const(state.banlist))
        state.nextBanlistId =
            qMax(state.nextBanlistId, entry.value(QStringLiteral("Id")).toInt() + 1);
    for (const QString &line : strings(fixture.value(QStringLiteral("serviceLog"))))
        state.serviceLog.addLine(line);
    return loadMeetings(fixture.value(QStringLiteral("meetings")).toArray(), state, live, error);
}

bool Fixture::loadUsers(const QJsonArray &users, SimState &state, QString *error)
{
    for (const QJsonValue &value : users) {
        const QJsonObject object = value.toObject();
        User user;
        user.id = object.value(QStringLiteral("id")).toString();
        user.userId = object.value(QStringLiteral("userId")).toString();
        user.password = object.value(QStringLiteral("password")).toString();
        if (user.id.isEmpty() || user.userId.isEmpty() || user.password.isEmpty()) {
            *error = QStringLiteral("Every user needs id, userId and password");
            return false;
        }
        if (state.userById(user.id) || state.userByLogin(user.userId)) {
            *error = QStringLiteral("User %1 is defined twice").arg(user.userId);
            return false;
        }
        user.company = object.value(QStringLiteral("company")).toString();
        user.firstName = object.value(QStringLiteral("firstName")).toString();
        user.lastName = object.value(QStringLiteral("lastName")).toString();
        user.email = object.value(QStringLiteral("email")).toString();
        user.phone = object.value(QStringLiteral("phone")).toString();
        user.status = object.value(QStringLiteral("status")).toString(QStringLiteral("active"));
        user.roles = strings(object.value(QStringLiteral("roles")));
        user.created =
            QDate::fromString(object.value(QStringLiteral("created")).toString(), Qt::ISODate);
        user.groups = strings(object.value(QStringLiteral("groups")));
        user.note = object.value(QStringLiteral("note")).toString();
        for (const QString &group : std::as_const(user.groups)) {
            if (state.group(group).isEmpty()) {
                *error =
                    QStringLiteral("User %1 names the unknown group %2").arg(user.userId, group);
                return false;
            }
        }
        state.users.append(user);
    }
    return true;
}

bool Fixture::loadMeetings(const QJsonArray &meetings, SimState &state, LiveMeetings &live,
                           QString *error)
{
    static const QStringList stateMembers = {QStringLiteral("assets"),
                                             QStringLiteral("assetBundleIds"),
                                             QStringLiteral("spawnPoints"),
                                             QStringLiteral("live"),
                                             QStringLiteral("simulatedParticipants"),
                                             QStringLiteral("mirrorLog")};
    for (const QJsonValue &value : meetings) {
        const QJsonObject object = value.toObject();
        Meeting meeting;
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!stateMembers.contains(it.key()))
                meeting.definition.insert(it.key(), it.value());
        }
        const User *creator = state.userById(meeting.creatorId());
        if (meeting.meetingId().isEmpty() || !creator || !licenseTerms(meeting.license())) {
            *error = QStringLiteral(
                         "Meeting '%1' needs a meetingId, a known creatorId and a known license")
                         .arg(meeting.meetingId());
            return false;
        }
        if (state.meetings.contains(meeting.key())) {
            *error = QStringLiteral("Meeting %1 is defined twice").arg(meeting.meetingId());
            return false;
        }
        meeting.definition.insert(QStringLiteral("creator"), creator->userId);
        meeting.assets = objects(object.value(QStringLiteral("assets")));
        meeting.bundleIds = strings(object.value(QStringLiteral("assetBundleIds")));
        meeting.spawnPoints = object.value(QStringLiteral("spawnPoints")).toArray();
        meeting.simulatedParticipants = object.value(QStringLiteral("simulatedParticipants"))
                                            .toInt(meeting.simulatedParticipants);
        for (const QString &line : strings(object.value(QStringLiteral("mirrorLog"))))
            meeting.mirrorLog.addLine(line);
        state.nextMeetingNumber =
            qMax(state.nextMeetingNumber,
                 meeting.definition.value(QStringLiteral("id")).toInteger() + 1);
        Meeting &stored = state.meetings[meeting.key()] = meeting;
        if (stored.isActive())
            loadLive(object.value(QStringLiteral("live")).toObject(), stored, live);
    }
    return true;
}

void Fixture::loadLive(const QJsonObject &live, Meeting &meeting, LiveMeetings &running)
{
    running.resume(meeting, qint64(live.value(QStringLiteral("runningMinutes")).toInt()) * 60);
    for (const QJsonValue &value : live.value(QStringLiteral("participants")).toArray()) {
        const QJsonObject object = value.toObject();
        Participant &participant =
            running.join(meeting, object.value(QStringLiteral("Alias")).toString());
        participant.role = object.value(QStringLiteral("currentRole")).toString(participant.role);
        participant.voiceEnabled =
            object.value(QStringLiteral("voiceEnabled")).toBool(participant.voiceEnabled);
        participant.talking = object.value(QStringLiteral("voiceIsTalking")).toBool(false);
        participant.hostName =
            object.value(QStringLiteral("HostName")).toString(participant.hostName);
        participant.user = object.value(QStringLiteral("User")).toString(participant.user);
        if (object.contains(QStringLiteral("Position")))
            participant.position =
                Vector3::fromJson(object.value(QStringLiteral("Position")).toObject());
        if (object.contains(QStringLiteral("Rotation")))
            participant.rotation =
                Vector3::fromJson(object.value(QStringLiteral("Rotation")).toObject());
    }
}

QJsonValue Fixture::substituted(const QJsonValue &value, const SimulatorConfig &config)
{
    if (value.isString()) {
        QString text = value.toString();
        text.replace(QLatin1String("${S3_ENDPOINT}"), config.s3Endpoint);
        text.replace(QLatin1String("${S3_BUCKET}"), config.s3Bucket);
        text.replace(QLatin1String("${S3_KEY}"), config.s3Key);
        text.replace(QLatin1String("${S3_SECRET}"), config.s3Secret);
        return text;
    }
    if (value.isArray()) {
        QJsonArray array;
        for (const QJsonValue &element : value.toArray())
            array.append(substituted(element, config));
        return array;
    }
    if (value.isObject()) {
        QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            it.value() = substituted(it.value(), config);
        return object;
    }
    return value;
}

} // namespace VorelSim
