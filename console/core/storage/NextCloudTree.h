#pragma once

#include "PropfindReply.h"

#include <QJsonArray>
#include <QList>
#include <QString>

// The folders of a Nextcloud listing below the user's root, in the order they first appear,
// each with the files directly in it as {"name", "size", "path", "url"}: "size" the byte count
// as decimal text, "path" the decoded href, "url" the server's base address. folders[0] is the
// top; every other folder names its parent.
struct NextCloudTree
{
    struct Folder
    {
        QString name;
        int parent = -1;
        QJsonArray files;
    };

    QList<Folder> folders;

    // The path below the user's root is what follows the first part equal to user (all parts
    // when there is none). Nodes more than depth parts below the root are left out.
    static NextCloudTree fromNodes(const QList<NextCloudNode> &nodes, const QString &user,
                                   const QString &baseUrl, int depth);
    // Millions of bytes with two decimals: 1234567 gives "1.23".
    static QString megabytesText(qint64 bytes);
};
