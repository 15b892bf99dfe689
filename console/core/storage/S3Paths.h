#pragma once

#include <QString>

struct Zelt_LoginData;

// How the S3 browser turns its folders and file names into object keys and back.
//
// Keys built by joining a folder and a name are normalised: empty segments (a doubled or a
// leading "/") are dropped, so that a file uploaded into a folder is listed in that folder and
// the administrator's top folder (no root folder) stores "name", not "//name". Keys the listing
// returned are never rebuilt; they are sent as they were listed.
//
// Folders are identified by their path: "/" followed by the folder's key prefix, e.g. "/" for
// the bucket's top and "/acme/talks/" below it.
namespace S3Paths {

// The user's area of the bucket: empty for administrators and without service storage, else the
// storage folder without leading "/" and with one trailing "/".
QString rootFolder(const Zelt_LoginData &session);
// The root folder ending in "/", or "/" for the whole bucket.
QString pathPrefix(const QString &rootFolder);
// "MINIO - " or "S3 - " followed by "root" or the root folder (the part after a ":").
QString topItemText(int storageMode, const QString &rootFolder);
QString topFolderPath(const QString &rootFolder);
// The folder of a tree selection, from the names below the top item joined by "/".
QString currentDir(const QString &rootFolder, const QString &relativePath);

// The segments of a key without empty ones, joined by "/"; a trailing "/" is kept.
QString normalizedKey(const QString &key);
QString objectKey(const QString &folder, const QString &name);
// The key of an upload into a fixed folder below the root folder (asset bundles), normalised as
// well: a key with a leading "/" is refused by MinIO and s3rver, so an administrator's bundle
// goes to "__ASSETBUNDLES/name", not "/__ASSETBUNDLES/name".
QString overrideKey(const QString &rootFolder, QString pathOverride, const QString &name);
// The folder path of a key prefix, and of the folder a key lies in.
QString folderPath(const QString &prefix);
QString folderPathOf(const QString &key);
QString fileNameOf(const QString &key);

} // namespace S3Paths
