#pragma once

#include <QString>

class QIODevice;
class QNetworkReply;
class QUrl;

// The rules for saving a downloaded console installer.
namespace InstallerDownload {

// The last segment of the URL's path, or "download" when it has none.
QString saveFileName(const QUrl &url);
// Writes all of data to filename; false, with a line on the standard error stream, if not.
bool saveToDisk(const QString &filename, QIODevice *data);
// Redirects are not followed: 301, 302, 303, 305, 307 and 308 count as failures.
bool isHttpRedirect(QNetworkReply *reply);

} // namespace InstallerDownload
