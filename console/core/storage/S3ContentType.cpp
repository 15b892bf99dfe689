#include "S3ContentType.h"

#include <array>
#include <utility>

namespace S3ContentType {

QString forPath(const QString &path)
{
    static const std::array<std::pair<const char *, const char *>, 20> types{{
        {".fbx", "application/octet-stream"},
        {".mp3", "audio/mpeg"},
        {".wav", "audio/wav"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".mp4", "video/mp4"},
        {".webm", "video/webm"},
        {".mpg", "video/mpeg"},
        {".mpeg", "video/mpeg"},
        {".pdf", "application/pdf"},
        {".txt", "text/plain"},
        {".doc", "application/msword"},
        {".docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
        {".xls", "application/vnd.ms-excel"},
        {".xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
        {".ppt", "application/vnd.ms-powerpoint"},
        {".pps", "application/vnd.ms-powerpoint"},
        {".pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
        {".ppsx", "application/vnd.openxmlformats-officedocument.presentationml.slideshow"},
    }};
    for (const auto &[ending, type] : types) {
        if (path.endsWith(QLatin1String(ending), Qt::CaseSensitive))
            return QString::fromLatin1(type);
    }
    return QStringLiteral("text/plain");
}

} // namespace S3ContentType
