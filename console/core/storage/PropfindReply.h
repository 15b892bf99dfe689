#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// One response element of a WebDAV PROPFIND reply.
struct NextCloudNode
{
    QString path;      // the href, percent-decoded as UTF-8
    QStringList parts; // path split at "/", empty parts dropped
    qint64 size = 0;   // getcontentlength; 0 when absent
    bool isFolder = false;
};

// Reads a PROPFIND reply into its nodes. Only a multistatus document is a listing: missing
// output, malformed XML, an error document (its exception and message) and any other document,
// such as an HTML error page, are failures, logged at critical level.
namespace PropfindReply {
std::optional<QList<NextCloudNode>> readFile(const QString &fileName);
std::optional<QList<NextCloudNode>> read(QIODevice &device);
} // namespace PropfindReply
