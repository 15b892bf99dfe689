#include "SimState.h"

namespace VorelSim {

QString User::fullName() const
{
    return QStringLiteral("%1 %2").arg(firstName, lastName).trimmed();
}

QJsonObject User::toJson() const
{
    QJsonObject object{{QStringLiteral("id"), id},
                       {QStringLiteral("userId"), userId},
                       {QStringLiteral("company"), company},
                       {QStringLiteral("firstName"), firstName},
                       {QStringLiteral("lastName"), lastName},
                       {QStringLiteral("email"), email},
                       {QStringLiteral("phone"), phone},
                       {QStringLiteral("status"), status},
                       {QStringLiteral("roles"), QJsonArray::fromStringList(roles)}};
    if (created.isValid())
        object.insert(QStringLiteral("created"), created.toString(Qt::ISODate));
    return object;
}

QJsonObject Vector3::toJson() const
{
    return {{QStringLiteral("x"), x}, {QStringLiteral("y"), y}, {QStringLiteral("z"), z}};
}

Vector3 Vector3::fromJson(const QJsonObject &object)
{
    return {object.value(QStringLiteral("x")).toDouble(),
            object.value(QStringLiteral("y")).toDouble(),
            object.value(QStringLiteral("z")).toDouble()};
}

QJsonObject Participant::toJson(const QString &meetingId) const
{
    return {{QStringLiteral("Id"), id},
            {QStringLiteral("Alias"), alias},
            {QStringLiteral("currentRole"), role},
            {QStringLiteral("MeetingId"), meetingId},
            {QStringLiteral("IP"), qint64(ip)},
            {QStringLiteral("HostName"), hostName},
            {QStringLiteral("voiceEnabled"), voiceEnabled},
            {QStringLiteral("voiceIsTalking"), voiceEnabled && talking},
            {QStringLiteral("Credentials"), QJsonObject{{QStringLiteral("User"), user}}},
            {QStringLiteral("Position"), position.toJson()},
            {QStringLiteral("Rotation"), rotation.toJson()}};
}

std::optional<LicenseTerms> licenseTerms(const QString &license)
{
    static const QList<LicenseTerms> terms = {
        {QStringLiteral("default"), 0, 25, 60},    {QStringLiteral("endless"), 1, 25, 0},
        {QStringLiteral("special1"), 2, 50, 120},  {QStringLiteral("special2"), 3, 100, 240},
        {QStringLiteral("special3"), 4, 250, 480},
    };
    for (const LicenseTerms &term : terms) {
        if (term.name == license)
            return term;
    }
    return std::nullopt;
}

void LogBook::add(const QDateTime &when, const QString &level, const QString &text)
{
    m_lines.append(QStringLiteral("%1 %2 %3")
                       .arg(when.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                            level.leftJustified(5), text));
}

QString LogBook::tail(int count) const
{
    QString text;
    for (qsizetype i = qMax<qsizetype>(0, m_lines.size() - count); i < m_lines.size(); ++i)
        text += m_lines.at(i) + QLatin1Char('\n');
    return text;
}

const User *SimState::userById(const QString &id) const
{
    for (const User &user : users) {
        if (user.id == id)
            return &user;
    }
    return nullptr;
}

const User *SimState::userByLogin(const QString &userId) const
{
    for (const User &user : users) {
        if (user.userId.compare(userId, Qt::CaseInsensitive) == 0)
            return &user;
    }
    return nullptr;
}

User *SimState::mutableUserById(const QString &id)
{
    for (User &user : users) {
        if (user.id == id)
            return &user;
    }
    return nullptr;
}

Meeting *SimState::meeting(const QString &meetingId)
{
    const auto found = meetings.find(meetingId.toLower());
    return found == meetings.end() ? nullptr : &found.value();
}

const QJsonObject *SimState::bundle(const QString &bundleId) const
{
    for (const QJsonObject &bundle : bundles) {
        if (bundle.value(QStringLiteral("Id")).toString() == bundleId)
            return &bundle;
    }
    return nullptr;
}

QJsonObject SimState::group(const QString &name) const
{
    for (const QJsonObject &group : groups) {
        if (group.value(QStringLiteral("name")).toString().compare(name, Qt::CaseInsensitive) == 0)
            return group;
    }
    return {};
}

} // namespace VorelSim
