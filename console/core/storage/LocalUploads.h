#pragma once

#include "S3TransferQueue.h"

#include <QList>
#include <QStringList>

namespace LocalUploads {
// Files and folders as dropped: a file goes under its own name, a folder with every file below
// it under "folder/relative/path". Entries that are neither are left out.
QList<S3TransferQueue::LocalFile> collect(const QStringList &paths);
} // namespace LocalUploads
