#pragma once

#include <QSet>
#include <QString>

// Names the files of an export of several meetings into one folder: "<meetingId>_<creator>.vrl"
// as the service sends both, with whatever a file system refuses replaced, so that each name
// stays one file inside the folder; a meeting whose name is taken gets "_2", "_3" and so on.
class ExportFileNames
{
public:
    // The file name (without folder) for the next meeting; never one given before.
    QString next(const QString &meetingId, const QString &creator);

    // The name of one meeting made safe, without regard to other meetings.
    static QString safeName(const QString &meetingId, const QString &creator);

private:
    // Folded to lower case: Windows and macOS do not tell "A.vrl" from "a.vrl".
    QSet<QString> taken;
};
