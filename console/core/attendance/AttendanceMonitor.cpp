#include "AttendanceMonitor.h"

#include "LogCategories.h"
#include "Prompt.h"

#include <QDir>

AttendanceMonitor::AttendanceMonitor(const QString &folder, int pollSeconds, int keepDays,
                                     QObject *parent)
    : QObject(parent), folder(folder), keepDays(keepDays), recorder(pollSeconds)
{
}

QString AttendanceMonitor::fileName() const
{
    return QDir(folder).filePath(QStringLiteral("attendance.sqlite"));
}

void AttendanceMonitor::setOwner(const QString &user, const QString &service)
{
    if (user == ownerUser && service == ownerService)
        return;
    ownerUser = user;
    ownerService = service;
    recorder.clear();
    QDir().mkpath(folder);
    if (records.open(fileName(), user, service) &&
        records.removeEndedBefore(QDateTime::currentDateTime().addDays(-keepDays)))
        return;
    fallBack();
}

void AttendanceMonitor::record(const LivePoll &poll)
{
    latest = poll;
    if (ownerUser.isEmpty())
        return;
    const QList<SessionUpdate> updates = recorder.record(poll);
    // After the one report, a store that still fails stays quiet.
    if (!records.save(updates) && !reported) {
        fallBack();
        records.save(updates);
    }
    emit recorded();
}

// Keeps this run's records in memory after the file failed, and says so once.
void AttendanceMonitor::fallBack()
{
    const QString why = records.error();
    qCWarning(lcSrv).noquote() << "Attendance records not kept:" << why;
    records.open(QStringLiteral(":memory:"), ownerUser, ownerService);
    if (reported)
        return;
    reported = true;
    Prompt::warning(nullptr, tr("Attendance not kept"),
                    tr("The attendance records cannot be kept:\n%1\n\nThe console goes on; "
                       "attendance is shown for this run only.")
                        .arg(why));
}
