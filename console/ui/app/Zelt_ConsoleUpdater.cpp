#include "Zelt_ConsoleUpdater.h"

#include "InstallerDownload.h"
#include "LogCategories.h"
#include "ProcessLauncher.h"
#include "ProgramExit.h"
#include "Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressDialog>
#include <QSslError>
#include <QWidget>

#include <cstdio>

using namespace Zelt_Service_API;

Zelt_ConsoleUpdater::Zelt_ConsoleUpdater(QWidget *window) : QObject(window), window(window) {}

Zelt_ConsoleUpdater::~Zelt_ConsoleUpdater()
{
    delete downloadProgress;
}

void Zelt_ConsoleUpdater::onServiceVersions(ZeltVersions versions)
{
    const ZeltVersion console = versions.console();
    if (console.version().isEmpty() || console.updateUrl().isEmpty()) {
        // Nothing published is nothing newer.
        upToDate();
        return;
    }
    const QList<qint32> parts = console.version();
    const VersionNumber published{parts.value(0), parts.value(1), parts.value(2)};
    if (ConsoleVersion::current() < published) {
        offerUpdate(published, console.updateUrl());
        return;
    }
    emit serviceAnswered();
    upToDate();
}

void Zelt_ConsoleUpdater::upToDate()
{
    if (updateRequested)
        Prompt::information(window, tr("Up to date"),
                            tr("You already have the newest Version (%1) installed.")
                                .arg(ConsoleVersion::current().dotted()));
    updateRequested = false;
    emit startContinues();
}

void Zelt_ConsoleUpdater::onServiceVersionsFailed()
{
    if (!updateRequested)
        return;
    updateRequested = false;
    Prompt::warning(window, tr("Update check failed"),
                    tr("The service could not be asked for the newest version. Please try again "
                       "later."));
}

void Zelt_ConsoleUpdater::offerUpdate(const VersionNumber &published, const QString &updateUrl)
{
    const auto answer = Prompt::question(
        window, tr("New Console Version available"),
        tr("A new Vorel Console Version (%1.%2.%3) is available. Do you want to update now?")
            .arg(published.major)
            .arg(published.minor)
            .arg(published.patch),
        Prompt::Yes | Prompt::No, Prompt::Yes);
    if (answer != Prompt::Yes) {
        updateRequested = false;
        emit serviceAnswered();
        emit startContinues();
        return;
    }

    downloadProgress = new QProgressDialog(tr("Downloading Update"), QString(), 0, 0);
    downloadProgress->setWindowModality(Qt::ApplicationModal);
    downloadProgress->setWindowFlags(downloadProgress->windowFlags() & ~Qt::WindowCloseButtonHint);
    downloadProgress->show();
    QCoreApplication::processEvents();

    if (!downloadManager) {
        downloadManager = new QNetworkAccessManager(this);
        connect(downloadManager, &QNetworkAccessManager::finished, this,
                &Zelt_ConsoleUpdater::onDownloadFinished);
    }
    QNetworkRequest request{QUrl(updateUrl)};
    // A redirect is reported, not followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = downloadManager->get(request);
    connect(reply, &QNetworkReply::sslErrors, this, &Zelt_ConsoleUpdater::sslErrors);
}

void Zelt_ConsoleUpdater::onDownloadFinished(QNetworkReply *reply)
{
    bool started = false;
    if (reply->error() != QNetworkReply::NoError)
        qCDebug(lcSrv) << "Update download failed:" << reply->errorString();
    else if (InstallerDownload::isHttpRedirect(reply))
        fputs("Request was redirected.\n", stderr);
    else
        started = startInstaller(reply);

    reply->deleteLater();
    delete downloadProgress;
    downloadProgress = nullptr;
    if (started) {
        ProgramExit::now(0);
        return;
    }
    Prompt::warning(window, tr("Update failed"),
                    tr("Update download process failed. Please try again later."));
    updateRequested = false;
    emit startContinues();
}

bool Zelt_ConsoleUpdater::startInstaller(QNetworkReply *reply)
{
    // Qt answers an empty path when the temporary folder does not exist; never fall back to "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty()) {
        qCWarning(lcSrv) << "No temporary folder to save the update in.";
        return false;
    }
    const QString target =
        folder + QLatin1Char('/') + InstallerDownload::saveFileName(reply->url());
    if (!InstallerDownload::saveToDisk(target, reply))
        return false;
    // The installer must be runnable where file permissions decide that.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner);
    return ProcessLauncher::current().startDetached(target, {});
}

void Zelt_ConsoleUpdater::sslErrors(const QList<QSslError> &errors)
{
    for (const QSslError &error : errors)
        fprintf(stderr, "SSL error: %s\n", qPrintable(error.errorString()));
}
