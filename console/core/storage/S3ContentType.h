#pragma once

#include <QString>

namespace S3ContentType {
// The Content-Type an upload is stored with, by the end of the local path. The endings are
// compared case-sensitively, as the meeting clients expect; anything unknown is "text/plain".
QString forPath(const QString &path);
} // namespace S3ContentType
