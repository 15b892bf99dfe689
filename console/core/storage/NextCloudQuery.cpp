#include "NextCloudQuery.h"

#include "LogCategories.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

namespace {

QString forLog(const QString &argument)
{
    if (!argument.contains(QLatin1Char(' ')) && !argument.contains(QLatin1Char('"')))
        return argument;
    QString quoted = argument;
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QStringList argumentsWith(const QString &credentials, const QString &target, int depth)
{
    return {QStringLiteral("-k"), QStringLiteral("-u"),
            credentials,          target,
            QStringLiteral("-X"), QStringLiteral("PROPFIND"),
            QStringLiteral("-H"), QStringLiteral("Depth: %1").arg(depth)};
}

} // namespace

NextCloudQuery::NextCloudQuery(QObject *parent) : QObject(parent) {}

NextCloudQuery::~NextCloudQuery() = default;

QString NextCloudQuery::curlProgram()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("curl.exe");
#else
    const QString name = QStringLiteral("curl");
#endif
    const QFileInfo beside(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("curl"));
    return onPath.isEmpty() ? QStringLiteral("curl") : onPath;
}

QString NextCloudQuery::target(const Account &account)
{
    // Sent encoded: curl refuses a raw blank, and a user name is one path segment.
    const QString typed = account.url + QStringLiteral("/remote.php/dav/files/") +
                          QString::fromLatin1(QUrl::toPercentEncoding(account.user));
    const QUrl url(typed, QUrl::TolerantMode);
    return url.isValid() ? url.toString(QUrl::FullyEncoded) : typed;
}

QStringList NextCloudQuery::curlArguments(const Account &account, int depth)
{
    return argumentsWith(account.user + QLatin1Char(':') + account.pass, target(account), depth);
}

QString NextCloudQuery::loggedCommandLine(const QString &program, const Account &account, int depth)
{
    QStringList parts{forLog(program)};
    const QStringList arguments =
        argumentsWith(account.user + QStringLiteral(":********"), target(account), depth);
    for (const QString &argument : arguments)
        parts.append(forLog(argument));
    return parts.join(QLatin1Char(' '));
}

bool NextCloudQuery::start(const Account &listed, int listedDepth, int timeoutMs)
{
    if (run)
        return false;
    // The target is a bare argument: one beginning with "-" would be taken as an option.
    if (target(listed).startsWith(QLatin1Char('-'))) {
        qCCritical(lcNcl) << "Cloud URL must not begin with \"-\"";
        return false;
    }
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open()) {
        qCCritical(lcNcl).noquote() << "Cloud result file cannot be made:" << file->errorString();
        return false;
    }
    file->close();

    account = listed;
    depth = listedDepth;
    output = std::move(file);
    const QString program = curlProgram();
    qCDebug(lcNcl).noquote() << loggedCommandLine(program, account, depth);
    qCDebug(lcNcl).noquote() << output->fileName();
    run = ProcessLauncher::current().start(program, curlArguments(account, depth), timeoutMs,
                                           output->fileName(), this);
    connect(run, &ProcessRun::finished, this, &NextCloudQuery::onRunFinished);
    return true;
}

void NextCloudQuery::onRunFinished(const ProcessLauncher::Result &result)
{
    run->deleteLater();
    run = nullptr;
    std::optional<QList<NextCloudNode>> nodes;
    if (!result.started) {
        qCCritical(lcNcl).noquote() << "curl could not be started:" << curlProgram();
    } else {
        qCDebug(lcNcl).noquote() << QStringLiteral("Done. %1")
                                        .arg(result.finished ? QStringLiteral("TRUE")
                                                             : QStringLiteral("FALSE"));
        if (result.finished && result.exitCode != 0)
            qCCritical(lcNcl) << "curl ended with exit code" << result.exitCode;
        // After a time-out, what curl wrote so far is checked like a whole reply.
        nodes = PropfindReply::readFile(output->fileName());
    }
    output.reset();
    if (nodes)
        emit listed(NextCloudTree::fromNodes(*nodes, account.user, account.url, depth));
    else
        emit failed();
}
