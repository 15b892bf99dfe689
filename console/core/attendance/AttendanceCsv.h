#pragma once

#include "AttendanceRecords.h"

#include <QByteArray>
#include <QList>

// A session's participants as CSV (RFC 4180): UTF-8 with a byte order mark, so that spreadsheet
// programs take it as UTF-8, a header row, CRLF line ends, ISO 8601 times with their offset.
// The column names are fixed English words, so that scripts can rely on them.
namespace AttendanceCsv {

QByteArray write(const AttendanceSession &session, const QList<AttendanceRow> &rows);
// One field, quoted when it holds a comma, a quote or a line break; a text a spreadsheet would
// take for a formula gets a leading apostrophe.
QString field(const QString &text);
// The time in the machine's zone with its offset, for example 2024-06-11T11:00:05+02:00.
QString time(const QDateTime &time);

} // namespace AttendanceCsv
