#include "InstallerDownload.h"

#include "LogCategories.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QUrl>

#include <cstdio>

QString InstallerDownload::saveFileName(const QUrl &url)
{
    const QString name = QFileInfo(url.path()).fileName();
    return name.isEmpty() ? QStringLiteral("download") : name;
}

bool InstallerDownload::saveToDisk(const QString &filename, QIODevice *data)
{
    QFile file(filename);
    if (!file.open(QIODevice::WriteOnly)) {
        fprintf(stderr, "Could not open %s for writing: %s\n", qPrintable(filename),
                qPrintable(file.errorString()));
        return false;
    }
    const QByteArray content = data->readAll();
    // A short write leaves a broken installer: report it like a file that cannot be opened.
    const bool written = file.write(content) == content.size() && file.flush();
    file.close();
    if (!written)
        qCWarning(lcSrv).noquote() << "Could not write" << filename << file.errorString();
    return written;
}

bool InstallerDownload::isHttpRedirect(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status == 301 || status == 302 || status == 303 || status == 305 || status == 307 ||
           status == 308;
}
