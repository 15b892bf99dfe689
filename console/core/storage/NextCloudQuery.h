#pragma once

#include "NextCloudTree.h"
#include "ProcessLauncher.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryFile;

// One PROPFIND listing of a user's Nextcloud files. curl makes the request as a child process,
// with an argument list (no shell), while the event loop goes on; its reply is read from a
// temporary file once it ends or its time is up. Messages go to the "NCL   " category, the
// password never.
class NextCloudQuery : public QObject
{
    Q_OBJECT

public:
    struct Account
    {
        QString url; // the server's base address
        QString user;
        QString pass;
    };

    explicit NextCloudQuery(QObject *parent = nullptr);
    ~NextCloudQuery() override;

    // curl.exe beside the executable on Windows, curl beside it elsewhere, else curl from PATH.
    static QString curlProgram();
    // url + "/remote.php/dav/files/" + user, percent-encoded.
    static QString target(const Account &account);
    static QStringList curlArguments(const Account &account, int depth);
    // The command line for the log, the password masked.
    static QString loggedCommandLine(const QString &program, const Account &account, int depth);

    // False, with nothing started, while a listing runs, when the address would reach curl as
    // an option, or when no output file can be made.
    bool start(const Account &account, int depth, int timeoutMs);
    bool isRunning() const { return run != nullptr; }

signals:
    void listed(const NextCloudTree &tree);
    // No listing came (the reason is logged).
    void failed();

private:
    void onRunFinished(const ProcessLauncher::Result &result);

    Account account;
    int depth = 0;
    ProcessRun *run = nullptr;
    std::unique_ptr<QTemporaryFile> output;
};
