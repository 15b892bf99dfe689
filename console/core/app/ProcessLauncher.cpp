#include "ProcessLauncher.h"

#include <QProcess>
#include <QTimer>

namespace {
ProcessLauncher *installedLauncher = nullptr;

class ChildProcessRun : public ProcessRun
{
    using Result = ProcessLauncher::Result;

public:
    ChildProcessRun(const QString &program, const QStringList &arguments, int timeoutMs,
                    const QString &outputFile, QObject *parent)
        : ProcessRun(parent)
    {
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile, QIODevice::Truncate);
        killTimer.setSingleShot(true);
        killTimer.setInterval(timeoutMs);
        connect(&killTimer, &QTimer::timeout, this, [this] {
            timedOut = true;
            process.kill();
        });
        connect(&process, &QProcess::started, this, [this] {
            process.closeWriteChannel();
            killTimer.start();
        });
        connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                report({});
        });
        connect(&process, &QProcess::finished, this,
                [this](int exitCode, QProcess::ExitStatus status) {
                    Result result;
                    result.started = true;
                    result.finished = !timedOut;
                    result.exitCode = !timedOut && status == QProcess::NormalExit ? exitCode : -1;
                    result.standardOutput = process.readAllStandardOutput();
                    result.standardError = process.readAllStandardError();
                    report(result);
                });
        // Started from the event loop, so that even a failure to start comes after start().
        QTimer::singleShot(0, this,
                           [this, program, arguments] { process.start(program, arguments); });
    }

    ~ChildProcessRun() override
    {
        if (process.state() != QProcess::NotRunning) {
            reported = true; // nobody is left to tell
            process.kill();
            process.waitForFinished(1000);
        }
    }

private:
    void report(const Result &result)
    {
        killTimer.stop();
        if (reported)
            return;
        reported = true;
        emit finished(result);
    }

    QProcess process;
    QTimer killTimer;
    bool timedOut = false;
    bool reported = false;
};
} // namespace

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

ProcessRun *ProcessLauncher::start(const QString &program, const QStringList &arguments,
                                   int timeoutMs, const QString &outputFile, QObject *parent)
{
    return new ChildProcessRun(program, arguments, timeoutMs, outputFile, parent);
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
