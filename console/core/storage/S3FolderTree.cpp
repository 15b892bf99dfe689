#include "S3FolderTree.h"

#include "S3Paths.h"

#include <QHash>

S3FolderTree S3FolderTree::fromListing(const QStringList &keys, const QStringList &sizes,
                                       const QStringList &eTags, const QString &rootFolder,
                                       bool showBundles)
{
    const QChar slash(QLatin1Char('/'));
    const QStringList rootParts = rootFolder.split(slash, Qt::SkipEmptyParts);
    const qsizetype skipped = rootFolder.count(slash);

    S3FolderTree tree;
    tree.folders.append({QString(), S3Paths::topFolderPath(rootFolder), -1, {}});
    QHash<QString, int> byPath{{tree.folders.first().path, 0}};
    const QString rootPath =
        QString(slash) + (rootParts.isEmpty() ? QString() : rootParts.join(slash) + slash);

    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString &key = keys.at(i);
        const bool folderMarker = key.endsWith(slash);
        const QStringList parts = key.split(slash, Qt::SkipEmptyParts).mid(skipped);
        if (parts.isEmpty())
            continue;
        const bool inBundles =
            (parts.size() > 1 || folderMarker) && parts.first() == QLatin1String("__ASSETBUNDLES");
        if (inBundles && !showBundles)
            continue;

        const qsizetype folderCount = folderMarker ? parts.size() : parts.size() - 1;
        int parent = 0;
        QString path = rootPath;
        for (qsizetype p = 0; p < folderCount; ++p) {
            path += parts.at(p) + slash;
            auto found = byPath.constFind(path);
            if (found == byPath.constEnd()) {
                tree.folders.append({parts.at(p), path, parent, {}});
                found = byPath.insert(path, int(tree.folders.size() - 1));
            }
            parent = *found;
        }
        if (!folderMarker)
            tree.folders[parent].files.append(
                fileObject(parts.last(), sizes.value(i), eTags.value(i), key));
    }
    return tree;
}

QJsonObject S3FolderTree::fileObject(const QString &name, const QString &size, const QString &eTag,
                                     const QString &key)
{
    return {{QStringLiteral("name"), name},
            {QStringLiteral("size"), size},
            {QStringLiteral("etag"), eTag},
            {QStringLiteral("path"), key}};
}

void S3FolderTree::insertFile(QJsonArray &files, const QJsonObject &file)
{
    const QString name = file.value(QStringLiteral("name")).toString();
    qsizetype position = files.size();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString other = files.at(i).toObject().value(QStringLiteral("name")).toString();
        if (other == name) {
            files.replace(i, file);
            return;
        }
        if (position == files.size() && name < other)
            position = i;
    }
    files.insert(position, file);
}

bool S3FolderTree::removeFile(QJsonArray &files, const QString &key)
{
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (files.at(i).toObject().value(QStringLiteral("path")).toString() == key) {
            files.removeAt(i);
            return true;
        }
    }
    return false;
}
