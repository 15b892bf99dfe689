#pragma once

#include "VersionNumber.h"
#include "service/ZeltVersions.h"

#include <QList>
#include <QObject>

class QNetworkAccessManager;
class QNetworkReply;
class QProgressDialog;
class QSslError;
class QWidget;

// Compares the console with the version the service publishes, offers a newer one, downloads
// its installer, starts it and ends the console.
class Zelt_ConsoleUpdater : public QObject
{
    Q_OBJECT

public:
    // Questions and messages appear over window.
    explicit Zelt_ConsoleUpdater(QWidget *window);
    ~Zelt_ConsoleUpdater() override;

    // The user asked: the next check says so when the console is up to date.
    void expectRequestedCheck() { updateRequested = true; }

public slots:
    void onServiceVersions(Zelt_Service_API::ZeltVersions versions);
    // Comes before the empty versions of a failed request: a user who asked is told.
    void onServiceVersionsFailed();
    void onDownloadFinished(QNetworkReply *reply);
    void sslErrors(const QList<QSslError> &errors);

signals:
    // The versions reply showed the service running.
    void serviceAnswered();
    // No installer was started: the normal start goes on.
    void startContinues();

private:
    // Asks whether to install the newer console; downloads it when the user agrees.
    void offerUpdate(const VersionNumber &published, const QString &updateUrl);
    // Writes the installer to the temporary directory and starts it; false when it could not.
    bool startInstaller(QNetworkReply *reply);
    // Nothing newer: a user who asked hears so; then the normal start goes on.
    void upToDate();

    QWidget *window;
    bool updateRequested = false;
    QProgressDialog *downloadProgress = nullptr;
    QNetworkAccessManager *downloadManager = nullptr;
};
