#pragma once

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <optional>

namespace VorelSim {

inline const QString roleAdministrator = QStringLiteral("Zelt_Administrator");
inline const QString roleGroupAdministrator = QStringLiteral("Zelt_Group_Administrator");
inline const QString rolePresenter = QStringLiteral("Zelt_Presenter");
// The "Mode" of URL placeholders, among assets and banlist entries alike.
inline constexpr int urlAssetMode = 3;

struct User
{
    QString id;     // the account's id
    QString userId; // the login name
    QString password;
    QString company, firstName, lastName, email, phone, status;
    QStringList roles;
    QDate created;
    QStringList groups; // names of the top-level groups, in order
    QString note;       // what the account demonstrates (fixture only, never sent)

    bool hasRole(const QString &role) const { return roles.contains(role); }
    bool isAdministrator() const { return hasRole(roleAdministrator); }
    bool isGroupAdministrator() const { return hasRole(roleGroupAdministrator); }
    QString fullName() const;
    QJsonObject toJson() const; // the profile as the auth service answers it
};

class LogBook
{
public:
    void add(const QDateTime &when, const QString &level, const QString &text);
    void addLine(const QString &line) { m_lines.append(line); }
    // The last count lines, each ended by a line break; empty for count 0.
    QString tail(int count) const;
    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
};

struct Vector3
{
    double x = 0, y = 0, z = 0;
    QJsonObject toJson() const;
    static Vector3 fromJson(const QJsonObject &object);
};

struct Participant
{
    int id = 0;
    QString alias;
    QString role = QStringLiteral("User");
    QString hostName;
    QString user;
    quint32 ip = 0;
    bool voiceEnabled = true;
    bool talking = false;
    Vector3 position;
    Vector3 rotation;
    bool simulated = false; // a guest of the simulation, who may leave and come back

    QJsonObject toJson(const QString &meetingId) const; // a ZeltMirrorClientInfo
};

// What runs while a meeting's status is "active".
struct LiveState
{
    QDateTime startedAt;
    std::optional<QDateTime> endsAt; // none for an endless license
    QDateTime lastStep;
    int statusMirror = 0; // 0 starting, 1 running
    int nextClientId = 1;
    QList<Participant> participants;
    QList<Participant> departed; // simulated guests who left and may come back
    QRandomGenerator random;
    QRandomGenerator churn; // who leaves and who comes back, apart from the rest
};

struct Meeting
{
    QJsonObject definition; // the ZeltMeeting as stored
    QList<QJsonObject> assets;
    QStringList bundleIds;
    QJsonArray spawnPoints;
    int simulatedParticipants = 4; // how many simulated guests join a running meeting
    std::optional<LiveState> live;
    LogBook mirrorLog;

    QString meetingId() const { return definition.value(QStringLiteral("meetingId")).toString(); }
    QString key() const { return meetingId().toLower(); }
    QString creatorId() const { return definition.value(QStringLiteral("creatorId")).toString(); }
    QString status() const { return definition.value(QStringLiteral("status")).toString(); }
    QString license() const { return definition.value(QStringLiteral("license")).toString(); }
    bool isActive() const
    {
        return status().compare(QLatin1String("active"), Qt::CaseInsensitive) == 0;
    }
};

// End-time modes of a meeting and what each grants.
struct LicenseTerms
{
    QString name;
    int mode = 0;
    int attendees = 0;
    int minutes = 0; // 0: no end time
};
std::optional<LicenseTerms> licenseTerms(const QString &license);

struct SimState
{
    QList<User> users;
    QList<QJsonObject> groups;       // ZeltUserGroup objects
    QMap<QString, Meeting> meetings; // by meeting key (meetingId in lower case)
    qint64 nextMeetingNumber = 1;
    QList<QJsonObject> bundles; // ZeltAssetBundle objects
    int nextBundleNumber = 1;
    QList<QJsonObject> banlist; // ZeltBanlistEntry objects
    int nextBanlistId = 1;
    QJsonObject versions; // ZeltVersions
    QString serviceVersion = QStringLiteral("2.1.0");
    LogBook serviceLog;

    const User *userById(const QString &id) const;
    const User *userByLogin(const QString &userId) const;
    User *mutableUserById(const QString &id);
    Meeting *meeting(const QString &meetingId);
    const QJsonObject *bundle(const QString &bundleId) const;
    QJsonObject group(const QString &name) const;
};

} // namespace VorelSim
