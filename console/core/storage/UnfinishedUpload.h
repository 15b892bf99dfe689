#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// A multipart upload that was begun on the server and neither completed nor aborted, and that
// no transfer of this console will go on with: it takes space (and is billed) until aborted.
struct UnfinishedUpload
{
    QString key;
    QString uploadId;
    QDateTime initiated;
    qint64 sizeSoFar = 0; // of the parts the server holds
};
Q_DECLARE_METATYPE(UnfinishedUpload)
Q_DECLARE_METATYPE(QList<UnfinishedUpload>)
