#include "ProcessLauncher.h"

#include <QProcess>

namespace {
ProcessLauncher *installedLauncher = nullptr;
}

ProcessLauncher::Result ProcessLauncher::run(const QString &program, const QStringList &arguments,
                                             int timeoutMs)
{
    Result result;
    QProcess process;
    process.start(program, arguments);
    result.started = process.waitForStarted(timeoutMs);
    if (!result.started)
        return result;
    process.closeWriteChannel();
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(1000);
    }
    result.exitCode =
        result.finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    return result;
}

bool ProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

ProcessLauncher &ProcessLauncher::current()
{
    static ProcessLauncher realLauncher;
    return installedLauncher ? *installedLauncher : realLauncher;
}

void ProcessLauncher::setCurrent(ProcessLauncher *launcher)
{
    installedLauncher = launcher;
}
