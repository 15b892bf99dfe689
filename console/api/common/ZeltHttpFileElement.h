#pragma once

#include <QByteArray>
#include <QString>

namespace Zelt_Common_API {

// One file of a multipart request, or one attachment saved from a reply.
class ZeltHttpFileElement
{
public:
    QString variable_name;
    QString local_filename;
    QString request_filename;
    QString mime_type;

    // Records the four names and writes the bytes to localFilename, replacing an existing file.
    // Returns false (and logs) when the file cannot be written.
    bool saveToFile(const QString &variableName, const QString &localFilename,
                    const QString &requestFilename, const QString &mimeType,
                    const QByteArray &bytes);
};

} // namespace Zelt_Common_API
