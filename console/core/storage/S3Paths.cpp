#include "S3Paths.h"

#include "Zelt_LoginData.h"

#include <QStringList>

namespace S3Paths {

namespace {
const QChar slash(QLatin1Char('/'));

QString withoutLeadingSlashes(QString text)
{
    while (text.startsWith(slash))
        text.remove(0, 1);
    return text;
}
} // namespace

QString rootFolder(const Zelt_LoginData &session)
{
    const bool serviceStorage = session.storageMode == Zelt_LoginData::MinIO ||
                                session.storageMode == Zelt_LoginData::AmazonS3;
    if (!serviceStorage || session.isAdministrator())
        return QString();
    QString folder = withoutLeadingSlashes(session.storageFolder);
    if (!folder.endsWith(slash))
        folder += slash;
    return folder;
}

QString pathPrefix(const QString &rootFolder)
{
    if (rootFolder.isEmpty())
        return QStringLiteral("/");
    return rootFolder.endsWith(slash) ? rootFolder : rootFolder + slash;
}

QString topItemText(int storageMode, const QString &rootFolder)
{
    const QString kind =
        storageMode == Zelt_LoginData::MinIO ? QStringLiteral("MINIO - ") : QStringLiteral("S3 - ");
    if (rootFolder.isEmpty())
        return kind + QStringLiteral("root");
    const qsizetype colon = rootFolder.indexOf(QLatin1Char(':'));
    return kind + (colon < 0 ? rootFolder : rootFolder.mid(colon + 1));
}

QString topFolderPath(const QString &rootFolder)
{
    if (rootFolder.isEmpty())
        return QStringLiteral("/");
    return rootFolder.startsWith(slash) ? rootFolder : slash + rootFolder;
}

QString currentDir(const QString &rootFolder, const QString &relativePath)
{
    const bool needsSlash = rootFolder.isEmpty() || !rootFolder.endsWith(slash);
    return rootFolder + (needsSlash ? QString(slash) : QString()) + relativePath;
}

QString normalizedKey(const QString &key)
{
    const QString joined = key.split(slash, Qt::SkipEmptyParts).join(slash);
    return key.endsWith(slash) && !joined.isEmpty() ? joined + slash : joined;
}

QString objectKey(const QString &folder, const QString &name)
{
    return normalizedKey(folder + slash + name);
}

QString overrideKey(const QString &rootFolder, QString pathOverride, const QString &name)
{
    return objectKey(rootFolder + slash + pathOverride, name);
}

QString folderPath(const QString &prefix)
{
    const QString folder = prefix.split(slash, Qt::SkipEmptyParts).join(slash);
    return folder.isEmpty() ? QString(slash) : slash + folder + slash;
}

QString folderPathOf(const QString &key)
{
    return folderPath(key.left(qMax<qsizetype>(0, key.lastIndexOf(slash))));
}

QString fileNameOf(const QString &key)
{
    return key.mid(key.lastIndexOf(slash) + 1);
}

} // namespace S3Paths
