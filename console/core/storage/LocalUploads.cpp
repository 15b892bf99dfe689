#include "LocalUploads.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace LocalUploads {

QList<S3TransferQueue::LocalFile> collect(const QStringList &paths)
{
    QList<S3TransferQueue::LocalFile> files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            files.append({info.absoluteFilePath(), info.fileName()});
        } else if (info.isDir()) {
            const QDir folder(info.absoluteFilePath());
            QDirIterator it(folder.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            QList<S3TransferQueue::LocalFile> inFolder;
            while (it.hasNext()) {
                const QString file = it.next();
                inFolder.append(
                    {file, info.fileName() + QLatin1Char('/') + folder.relativeFilePath(file)});
            }
            std::sort(inFolder.begin(), inFolder.end(),
                      [](const auto &a, const auto &b) { return a.name < b.name; });
            files.append(inFolder);
        }
    }
    return files;
}

} // namespace LocalUploads
