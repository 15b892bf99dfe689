#pragma once

#include "AttendanceRecorder.h"
#include "AttendanceStore.h"
#include "LivePoll.h"

#include <QObject>

// Records every answered poll into the attendance store of the logged-in user and service. A
// store that cannot be opened or written is reported once; the records then live in memory for
// the rest of the run, and nothing else stops.
class AttendanceMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultKeepDays = 90;

    // folder: where the database file lives (created when missing).
    AttendanceMonitor(const QString &folder, int pollSeconds, int keepDays,
                      QObject *parent = nullptr);

    // Opens the records of this user at this service; the same owner again changes nothing.
    void setOwner(const QString &user, const QString &service);
    const AttendanceStore &store() const { return records; }
    // The last poll seen, for the floor map.
    const LivePoll &lastPoll() const { return latest; }
    QString fileName() const;

public slots:
    void record(const LivePoll &poll);

signals:
    // A poll has been recorded (the store holds it when it can).
    void recorded();

private:
    void fallBack();

    QString folder;
    int keepDays;
    AttendanceRecorder recorder;
    AttendanceStore records;
    QString ownerUser; // empty until the first login
    QString ownerService;
    LivePoll latest;
    bool reported = false;
};
