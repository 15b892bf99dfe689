#pragma once

#include "service/ZeltS3TempAccessKey.h"

#include <QCoreApplication>

class QTabWidget;
class QWidget;
class Zelt_MeetingsInfoThread;
class Zelt_NextCloud;
class Zelt_S3;
struct Zelt_LoginData;

// Gives the storage tabs the session's storage: drops the tab the session has no use for,
// asks for temporary credentials where the groups bring none, takes them over and renews them
// shortly before they expire.
class Zelt_StorageAccess
{
    Q_DECLARE_TR_FUNCTIONS(Zelt_StorageAccess)

public:
    Zelt_StorageAccess(QWidget *window, QTabWidget *tabs, Zelt_S3 *s3Browser,
                       Zelt_NextCloud *nextCloudBrowser, Zelt_MeetingsInfoThread *infoThread);

    void setUp(const Zelt_LoginData &session);
    void takeTemporaryCredentials(Zelt_LoginData &session,
                                  const Zelt_Service_API::ZeltS3TempAccessKey &token);
    void renewIfDue(const Zelt_LoginData &session);

private:
    QWidget *window;
    QTabWidget *tabs;
    Zelt_S3 *s3Browser;
    Zelt_NextCloud *nextCloudBrowser;
    Zelt_MeetingsInfoThread *infoThread;
};
