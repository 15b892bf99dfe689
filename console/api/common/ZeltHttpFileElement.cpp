#include "ZeltHttpFileElement.h"

#include "LogCategories.h"
#include <QFile>

namespace Zelt_Common_API {

bool ZeltHttpFileElement::saveToFile(const QString &variableName, const QString &localFilename,
                                     const QString &requestFilename, const QString &mimeType,
                                     const QByteArray &bytes)
{
    variable_name = variableName;
    local_filename = localFilename;
    request_filename = requestFilename;
    mime_type = mimeType;

    QFile file(local_filename);
    if (file.exists())
        file.remove();
    if (!file.open(QIODevice::WriteOnly)) {
        qCDebug(lcSrv).noquote() << "Error creating file " << local_filename;
        return false;
    }
    // A short write (full disk) loses data just like a failed open, so it is reported the same way.
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (!written)
        qCDebug(lcSrv).noquote() << "Error creating file " << local_filename;
    return written;
}

} // namespace Zelt_Common_API
