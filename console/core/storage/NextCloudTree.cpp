#include "NextCloudTree.h"

#include <QHash>
#include <QJsonObject>

NextCloudTree NextCloudTree::fromNodes(const QList<NextCloudNode> &nodes, const QString &user,
                                       const QString &baseUrl, int depth)
{
    NextCloudTree tree;
    tree.folders.append(Folder());
    // Folders by their path below the root, parts joined with "/".
    QHash<QString, int> byPath{{QString(), 0}};

    for (const NextCloudNode &node : nodes) {
        const qsizetype userAt = node.parts.indexOf(user);
        const QStringList below = userAt < 0 ? node.parts : node.parts.mid(userAt + 1);
        if (below.isEmpty() || below.size() > depth)
            continue;

        const qsizetype folderCount = node.isFolder ? below.size() : below.size() - 1;
        int current = 0;
        QString path;
        for (qsizetype p = 0; p < folderCount; ++p) {
            path += QLatin1Char('/') + below.at(p);
            auto found = byPath.constFind(path);
            if (found == byPath.constEnd()) {
                tree.folders.append({below.at(p), current, {}});
                found = byPath.insert(path, int(tree.folders.size() - 1));
            }
            current = *found;
        }
        if (!node.isFolder)
            tree.folders[current].files.append(QJsonObject{
                {QStringLiteral("name"), below.last()},
                {QStringLiteral("size"), QString::number(node.size)},
                {QStringLiteral("path"), node.path},
                {QStringLiteral("url"), baseUrl},
            });
    }
    return tree;
}

QString NextCloudTree::megabytesText(qint64 bytes)
{
    return QString::asprintf("%.2f", double(bytes) / 1e6);
}
