#include "AttendanceCsv.h"

#include <QStringList>

QString AttendanceCsv::field(const QString &text)
{
    QString value = text;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStarts.contains(value.front()))
        value.prepend(QLatin1Char('\''));
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    value.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QString AttendanceCsv::time(const QDateTime &time)
{
    if (!time.isValid())
        return {};
    // Written out even for UTC: some spreadsheet imports know "+00:00" but not "Z".
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc() / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
               .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
}

QByteArray AttendanceCsv::write(const AttendanceSession &session, const QList<AttendanceRow> &rows)
{
    QStringList lines{QStringLiteral("Meeting,Session start,Alias,User,Role,First seen,Last seen,"
                                     "Present (s),Talking (s),Role changes,Joins")};
    for (const AttendanceRow &row : rows) {
        lines << QStringList{field(session.meetingId),
                             time(session.started),
                             field(row.alias),
                             field(row.user),
                             field(row.role),
                             time(row.firstSeen),
                             time(row.lastSeen),
                             QString::number(row.presentPolls * session.pollSeconds),
                             QString::number(row.talkingPolls * session.pollSeconds),
                             QString::number(row.roleChanges),
                             QString::number(row.joins)}
                     .join(QLatin1Char(','));
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() +
           QByteArrayLiteral("\r\n");
}
