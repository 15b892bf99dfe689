#include "Zelt_StorageAccess.h"

#include "LogCategories.h"
#include "Prompt.h"
#include "SessionRules.h"
#include "Zelt_LoginData.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_NextCloud.h"
#include "Zelt_S3.h"

#include <QTabWidget>

Zelt_StorageAccess::Zelt_StorageAccess(QWidget *window, QTabWidget *tabs, Zelt_S3 *s3Browser,
                                       Zelt_NextCloud *nextCloudBrowser,
                                       Zelt_MeetingsInfoThread *infoThread)
    : window(window), tabs(tabs), s3Browser(s3Browser), nextCloudBrowser(nextCloudBrowser),
      infoThread(infoThread)
{
}

void Zelt_StorageAccess::setUp(const Zelt_LoginData &session)
{
    switch (session.storageMode) {
    case Zelt_LoginData::NextCloud:
        tabs->removeTab(tabs->indexOf(s3Browser));
        break;
    case Zelt_LoginData::MinIO:
    case Zelt_LoginData::AmazonS3: {
        tabs->removeTab(tabs->indexOf(nextCloudBrowser));
        const bool staticCredentials = !session.storageUser.isEmpty() &&
                                       !session.storagePassword.isEmpty() &&
                                       !session.storageAddress.isEmpty();
        if (staticCredentials)
            s3Browser->on_btnS3Refresh_clicked();
        else
            infoThread->getS3Token();
        break;
    }
    default:
        Prompt::warning(window, tr("No Storage Configuration"),
                        tr("Your Account is missing storage configuration. Please ask your "
                           "administrator to configure storage access for you."));
        break;
    }
}

void Zelt_StorageAccess::takeTemporaryCredentials(
    Zelt_LoginData &session, const Zelt_Service_API::ZeltS3TempAccessKey &token)
{
    if (!SessionRules::takeTemporaryCredentials(session, token)) {
        Prompt::critical(window, tr("S3 Login Data"),
                         tr("Invalid or incomplete Storage Login Data received from Service. "
                            "Storage will not be available."));
        s3Browser->setEnabled(false);
        return;
    }
    s3Browser->setConfig(&session);
    s3Browser->setEnabled(true);
    s3Browser->on_btnS3Refresh_clicked();
}

void Zelt_StorageAccess::renewIfDue(const Zelt_LoginData &session)
{
    // Static credentials from the groups carry no session token and never expire.
    if (session.storageSessionToken.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    qCDebug(lcSrv) << "S3 Token valid: " << now.secsTo(session.storageTokenExpiry);
    if (session.storageCredentialsDue(now))
        infoThread->getS3Token();
}
