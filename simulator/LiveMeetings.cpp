#include "LiveMeetings.h"

namespace VorelSim {

namespace {
const QStringList guestNames = {
    QStringLiteral("Alex"), QStringLiteral("Bea"),   QStringLiteral("Chris"),
    QStringLiteral("Dana"), QStringLiteral("Emil"),  QStringLiteral("Fiona"),
    QStringLiteral("Gero"), QStringLiteral("Hanna"), QStringLiteral("Ivo"),
    QStringLiteral("Jana"), QStringLiteral("Kai"),   QStringLiteral("Lena"),
};

// Steps the simulation may take in one catch-up; a longer gap is skipped, not replayed.
constexpr int maxStepsPerCatchUp = 720;
// Per step: the chance that a simulated guest leaves, and that one who left comes back.
constexpr double leaveChance = 0.03;
constexpr double returnChance = 0.06;

double drift(QRandomGenerator &random, double range)
{
    return (random.generateDouble() * 2.0 - 1.0) * range;
}

bool voiceAllowed(const Meeting &meeting)
{
    return meeting.definition.value(QStringLiteral("audioMode")).toInt() != 0;
}
} // namespace

LiveMeetings::LiveMeetings(SimState &state, const SimClock &clock, quint32 seed)
    : m_state(state), m_clock(clock), m_seed(seed)
{
}

void LiveMeetings::start(Meeting &meeting, const QString &startedBy)
{
    resume(meeting, 0);
    meeting.mirrorLog.add(
        m_clock.now(), QStringLiteral("INFO"),
        QStringLiteral("Mirror server starting for meeting %1").arg(meeting.meetingId()));
    m_state.serviceLog.add(
        m_clock.now(), QStringLiteral("INFO"),
        QStringLiteral("Meeting %1 started by %2").arg(meeting.meetingId(), startedBy));
}

void LiveMeetings::resume(Meeting &meeting, qint64 runningSeconds)
{
    const QDateTime now = m_clock.now();
    LiveState live;
    live.startedAt = now.addSecs(-runningSeconds);
    live.lastStep = now;
    live.statusMirror = runningSeconds >= mirrorStartupSeconds ? 1 : 0;
    const auto terms = licenseTerms(meeting.license());
    if (terms && terms->minutes > 0)
        live.endsAt = live.startedAt.addSecs(qint64(terms->minutes) * 60);
    live.random.seed(m_seed ^ qHash(meeting.key()));
    live.churn.seed(~m_seed ^ qHash(meeting.key()));
    meeting.live = std::move(live);
}

void LiveMeetings::stop(Meeting &meeting, const QString &reason)
{
    if (!meeting.live)
        return;
    meeting.live.reset();
    meeting.mirrorLog.add(m_clock.now(), QStringLiteral("INFO"),
                          QStringLiteral("Mirror server stopped: %1").arg(reason));
    m_state.serviceLog.add(
        m_clock.now(), QStringLiteral("INFO"),
        QStringLiteral("Meeting %1 stopped: %2").arg(meeting.meetingId(), reason));
}

void LiveMeetings::catchUp()
{
    const QDateTime now = m_clock.now();
    for (Meeting &meeting : m_state.meetings) {
        if (!meeting.live)
            continue;
        if (meeting.live->endsAt && *meeting.live->endsAt <= now) {
            stop(meeting, QStringLiteral("license time is over"));
            meeting.definition.insert(QStringLiteral("status"), QStringLiteral("pending"));
            meeting.definition.insert(QStringLiteral("modified"), now.date().toString(Qt::ISODate));
            continue;
        }
        int steps = 0;
        while (meeting.live->lastStep.addSecs(stepSeconds) <= now && steps < maxStepsPerCatchUp) {
            meeting.live->lastStep = meeting.live->lastStep.addSecs(stepSeconds);
            step(meeting, meeting.live->lastStep);
            ++steps;
        }
        if (steps == maxStepsPerCatchUp)
            meeting.live->lastStep = now;
    }
}

Participant &LiveMeetings::join(Meeting &meeting, const QString &alias, const QDateTime &at)
{
    LiveState &live = *meeting.live;
    Participant guest;
    guest.id = live.nextClientId++;
    guest.alias = alias.isEmpty() ? guestAlias(meeting) : alias;
    guest.user = QStringLiteral("guest%1").arg(guest.id);
    guest.hostName = QStringLiteral("client-%1.guests.vorel.test").arg(guest.id);
    guest.ip = (10u << 24) | (20u << 16) | quint32(live.random.bounded(1, 0xFFFF));
    guest.voiceEnabled = voiceAllowed(meeting);
    guest.position = {drift(live.random, 5), 0, drift(live.random, 5)};
    guest.rotation = {0, drift(live.random, 180), 0};
    live.participants.append(guest);
    meeting.mirrorLog.add(at, QStringLiteral("INFO"),
                          QStringLiteral("Client %1 (%2) joined").arg(guest.id).arg(guest.alias));
    return live.participants.last();
}

bool LiveMeetings::leave(Meeting &meeting, int clientId, const QString &reason)
{
    if (!meeting.live)
        return false;
    QList<Participant> &participants = meeting.live->participants;
    for (qsizetype i = 0; i < participants.size(); ++i) {
        if (participants.at(i).id != clientId)
            continue;
        meeting.mirrorLog.add(m_clock.now(), QStringLiteral("INFO"),
                              QStringLiteral("Client %1 (%2) left: %3")
                                  .arg(clientId)
                                  .arg(participants.at(i).alias, reason));
        participants.removeAt(i);
        return true;
    }
    return false;
}

Participant *LiveMeetings::participant(Meeting &meeting, int clientId)
{
    if (!meeting.live)
        return nullptr;
    for (Participant &participant : meeting.live->participants) {
        if (participant.id == clientId)
            return &participant;
    }
    return nullptr;
}

void LiveMeetings::step(Meeting &meeting, const QDateTime &at)
{
    LiveState &live = *meeting.live;
    if (live.statusMirror == 0) {
        if (live.startedAt.secsTo(at) >= mirrorStartupSeconds) {
            live.statusMirror = 1;
            meeting.mirrorLog.add(at, QStringLiteral("INFO"),
                                  QStringLiteral("Mirror server running"));
        }
        return;
    }
    stepGuests(meeting, at);
}

void LiveMeetings::stepGuests(Meeting &meeting, const QDateTime &at)
{
    LiveState &live = *meeting.live;
    leaveOrReturn(meeting, at);
    if (live.participants.size() < participantLimit(meeting) && live.random.generateDouble() < 0.35)
        join(meeting, {}, at).simulated = true;
    for (Participant &participant : live.participants) {
        if (participant.voiceEnabled) {
            const double chance = live.random.generateDouble();
            participant.talking = participant.talking ? chance >= 0.4 : chance < 0.2;
        } else {
            participant.talking = false;
        }
        participant.position.x += drift(live.random, 0.5);
        participant.position.z += drift(live.random, 0.5);
        participant.rotation.y += drift(live.random, 15);
    }
}

// Simulated guests come and go, a returning one under their old alias and login with a new
// client id, as a real client reconnects.
void LiveMeetings::leaveOrReturn(Meeting &meeting, const QDateTime &at)
{
    LiveState &live = *meeting.live;
    for (qsizetype i = live.participants.size() - 1; i >= 0; --i) {
        const Participant &guest = live.participants.at(i);
        if (!guest.simulated || live.churn.generateDouble() >= leaveChance)
            continue;
        meeting.mirrorLog.add(
            at, QStringLiteral("INFO"),
            QStringLiteral("Client %1 (%2) left: disconnected").arg(guest.id).arg(guest.alias));
        live.departed.append(live.participants.takeAt(i));
    }
    if (live.departed.isEmpty() || live.participants.size() >= participantLimit(meeting) ||
        live.churn.generateDouble() >= returnChance)
        return;
    Participant guest = live.departed.takeFirst();
    guest.id = live.nextClientId++;
    guest.talking = false;
    live.participants.append(guest);
    meeting.mirrorLog.add(at, QStringLiteral("INFO"),
                          QStringLiteral("Client %1 (%2) joined").arg(guest.id).arg(guest.alias));
}

int LiveMeetings::participantLimit(const Meeting &meeting) const
{
    const auto terms = licenseTerms(meeting.license());
    const int attendees = terms ? terms->attendees : 0;
    return qMin(meeting.simulatedParticipants, attendees);
}

QString LiveMeetings::guestAlias(const Meeting &meeting) const
{
    const int number = meeting.live->nextClientId - 1; // the id being handed out
    const QString name = guestNames.at((number - 1) % guestNames.size());
    return number <= guestNames.size() ? name : QStringLiteral("%1 %2").arg(name).arg(number);
}

} // namespace VorelSim
