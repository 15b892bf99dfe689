#include "AttendanceStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {
const QStringList Schema = {
    QStringLiteral("CREATE TABLE IF NOT EXISTS sessions (id TEXT PRIMARY KEY, owner TEXT NOT NULL,"
                   " service TEXT NOT NULL, meeting_key TEXT NOT NULL, meeting_id TEXT,"
                   " started INTEGER NOT NULL, ended INTEGER, last_poll INTEGER NOT NULL,"
                   " poll_seconds INTEGER NOT NULL)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS sessions_of_meeting ON sessions"
                   " (owner, service, meeting_key)"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS participants (session_id TEXT NOT NULL,"
                   " key TEXT NOT NULL, alias TEXT, user TEXT, role TEXT, first_seen INTEGER,"
                   " last_seen INTEGER, present_polls INTEGER, talking_polls INTEGER,"
                   " role_changes INTEGER, joins INTEGER, PRIMARY KEY (session_id, key))"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS samples (session_id TEXT NOT NULL,"
                   " at INTEGER NOT NULL, participants INTEGER, talkers INTEGER)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS samples_of_session ON samples (session_id, at)"),
};

QVariant msecs(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch())
                          : QVariant(QMetaType(QMetaType::LongLong));
}

bool execWith(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    return query.exec();
}

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(value.toLongLong());
}
} // namespace

AttendanceStore::AttendanceStore()
    : connection(QStringLiteral("attendance-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

AttendanceStore::~AttendanceStore()
{
    if (QSqlDatabase::contains(connection)) {
        QSqlDatabase::database(connection, false).close();
        QSqlDatabase::removeDatabase(connection);
    }
}

bool AttendanceStore::fail(const QString &what, const QString &why)
{
    usable = false;
    lastError = what + QStringLiteral(": ") + why;
    return false;
}

bool AttendanceStore::open(const QString &file, const QString &ownerName,
                           const QString &serviceAddress)
{
    owner = ownerName;
    service = serviceAddress;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(file, QStringLiteral("the SQLite driver of Qt SQL is not installed"));
    QSqlDatabase db = QSqlDatabase::contains(connection)
                          ? QSqlDatabase::database(connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.close();
    db.setDatabaseName(file);
    if (!db.open())
        return fail(file, db.lastError().text());
    usable = true;
    for (const QString &statement : Schema) {
        if (!exec(statement))
            return false;
    }
    // A file another program holds waits a little instead of failing at once. A poll's
    // transaction is appended to the write-ahead log without waiting for the disk twice.
    for (const char *pragma :
         {"PRAGMA busy_timeout = 2000", "PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"})
        QSqlQuery(db).exec(QString::fromLatin1(pragma));
    return exec(QStringLiteral("UPDATE sessions SET ended = last_poll WHERE ended IS NULL AND "
                               "owner = ? AND service = ?"),
                {owner, service});
}

bool AttendanceStore::exec(const QString &statement, const QVariantList &values)
{
    if (!usable)
        return false;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(statement);
    if (!execWith(query, values))
        return fail(QSqlDatabase::database(connection, false).databaseName(),
                    query.lastError().text());
    return true;
}

bool AttendanceStore::save(const QList<SessionUpdate> &updates)
{
    if (!usable)
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.transaction())
        return fail(db.databaseName(), db.lastError().text());
    QSqlQuery session(db);
    session.prepare(QStringLiteral("INSERT OR REPLACE INTO sessions VALUES (?, ?, ?, ?, ?, ?, ?, "
                                   "?, ?)"));
    QSqlQuery row(db);
    row.prepare(QStringLiteral("INSERT OR REPLACE INTO participants VALUES (?, ?, ?, ?, ?, ?, ?, "
                               "?, ?, ?, ?)"));
    QSqlQuery sample(db);
    sample.prepare(QStringLiteral("INSERT INTO samples VALUES (?, ?, ?, ?)"));
    bool ok = true;
    for (const SessionUpdate &update : updates) {
        const AttendanceSession &s = update.session;
        const QDateTime lastPoll = update.sample ? update.sample->at : s.ended;
        ok = execWith(session, {s.id, owner, service, s.meetingKey, s.meetingId, msecs(s.started),
                                msecs(s.ended), msecs(lastPoll), s.pollSeconds});
        for (const AttendanceRow &r : update.rows) {
            ok = ok && execWith(row, {s.id, r.key, r.alias, r.user, r.role, msecs(r.firstSeen),
                                      msecs(r.lastSeen), r.presentPolls, r.talkingPolls,
                                      r.roleChanges, r.joins});
        }
        if (update.sample) {
            ok = ok && execWith(sample, {s.id, msecs(update.sample->at),
                                         update.sample->participants, update.sample->talkers});
        }
        if (!ok)
            break;
    }
    if (ok && db.commit())
        return true;
    const QString why = !session.lastError().text().isEmpty()  ? session.lastError().text()
                        : !row.lastError().text().isEmpty()    ? row.lastError().text()
                        : !sample.lastError().text().isEmpty() ? sample.lastError().text()
                                                               : db.lastError().text();
    db.rollback();
    return fail(db.databaseName(), why);
}

bool AttendanceStore::removeEndedBefore(const QDateTime &cutoff)
{
    const QString ended = QStringLiteral("SELECT id FROM sessions WHERE ended < ?");
    return exec(QStringLiteral("DELETE FROM participants WHERE session_id IN (%1)").arg(ended),
                {msecs(cutoff)}) &&
           exec(QStringLiteral("DELETE FROM samples WHERE session_id IN (%1)").arg(ended),
                {msecs(cutoff)}) &&
           exec(QStringLiteral("DELETE FROM sessions WHERE ended < ?"), {msecs(cutoff)});
}

template <typename Record>
QList<Record> AttendanceStore::select(const QString &statement, const QVariantList &values,
                                      Record (*read)(const QSqlQuery &)) const
{
    QList<Record> result;
    if (!usable)
        return result;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(statement);
    execWith(query, values);
    while (query.next())
        result.append(read(query));
    return result;
}

QList<AttendanceSession> AttendanceStore::sessions(const QString &meetingKey) const
{
    return select<AttendanceSession>(
        QStringLiteral("SELECT id, meeting_key, meeting_id, started, ended, poll_seconds FROM "
                       "sessions WHERE owner = ? AND service = ? AND meeting_key = ? ORDER BY "
                       "started DESC"),
        {owner, service, meetingKey}, [](const QSqlQuery &query) -> AttendanceSession {
            return {query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                    timeOf(query.value(3)),    timeOf(query.value(4)),    query.value(5).toInt()};
        });
}

QList<AttendanceRow> AttendanceStore::rows(const QString &sessionId) const
{
    return select<AttendanceRow>(
        QStringLiteral("SELECT key, alias, user, role, first_seen, last_seen, present_polls, "
                       "talking_polls, role_changes, joins FROM participants WHERE session_id = ? "
                       "ORDER BY first_seen, key"),
        {sessionId}, [](const QSqlQuery &query) -> AttendanceRow {
            return {query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                    query.value(3).toString(), timeOf(query.value(4)),    timeOf(query.value(5)),
                    query.value(6).toInt(),    query.value(7).toInt(),    query.value(8).toInt(),
                    query.value(9).toInt()};
        });
}

QList<AttendanceSample> AttendanceStore::samples(const QString &sessionId) const
{
    return select<AttendanceSample>(
        QStringLiteral("SELECT at, participants, talkers FROM samples WHERE session_id = ? ORDER "
                       "BY at"),
        {sessionId}, [](const QSqlQuery &query) -> AttendanceSample {
            return {timeOf(query.value(0)), query.value(1).toInt(), query.value(2).toInt()};
        });
}
