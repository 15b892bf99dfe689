#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The folders of a bucket listing below the user's root folder, in the order they first
// appear, each with the files directly in it as {"name", "size", "etag", "path"} ("path" is
// the key as listed). folders[0] is the top folder; every other folder names its parent.
struct S3FolderTree
{
    struct Folder
    {
        QString name;
        QString path; // see S3Paths
        int parent = -1;
        QJsonArray files;
    };

    QList<Folder> folders;

    // Keys below "__ASSETBUNDLES/" are left out unless showBundles is set.
    static S3FolderTree fromListing(const QStringList &keys, const QStringList &sizes,
                                    const QStringList &eTags, const QString &rootFolder,
                                    bool showBundles);

    static QJsonObject fileObject(const QString &name, const QString &size, const QString &eTag,
                                  const QString &key);
    // Puts the file into the array in name order, replacing one with the same name.
    static void insertFile(QJsonArray &files, const QJsonObject &file);
    // False when no file of the array has the key.
    static bool removeFile(QJsonArray &files, const QString &key);
};
