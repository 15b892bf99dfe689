#pragma once

#include "AttendanceRecords.h"

#include <QList>
#include <QString>
#include <QVariantList>

class QSqlQuery;

// The attendance records in an SQLite file, one set per logged-in user and service address.
// Every call after a failure does nothing; error() says what failed.
class AttendanceStore
{
public:
    AttendanceStore();
    ~AttendanceStore();
    AttendanceStore(const AttendanceStore &) = delete;
    AttendanceStore &operator=(const AttendanceStore &) = delete;

    // Opens (or creates) the file; ":memory:" keeps the records for this run only. Sessions the
    // last run left open end at their last poll.
    bool open(const QString &file, const QString &owner, const QString &service);
    bool isOpen() const { return usable; }
    QString error() const { return lastError; }

    // One transaction for all of a poll's updates.
    bool save(const QList<SessionUpdate> &updates);
    // Removes the sessions of every user that ended before cutoff.
    bool removeEndedBefore(const QDateTime &cutoff);

    // The meeting's sessions, newest first.
    QList<AttendanceSession> sessions(const QString &meetingKey) const;
    QList<AttendanceRow> rows(const QString &sessionId) const;
    QList<AttendanceSample> samples(const QString &sessionId) const;

private:
    // The records a query answers, each read from its row.
    template <typename Record>
    QList<Record> select(const QString &statement, const QVariantList &values,
                         Record (*read)(const QSqlQuery &)) const;
    bool exec(const QString &statement, const QVariantList &values = {});
    bool fail(const QString &what, const QString &why);

    QString connection;
    QString owner;
    QString service;
    bool usable = false;
    QString lastError;
};
