#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class ProcessRun;

// Starts external programs (curl, a downloaded installer) with an argument list, never through
// a shell. Tests may install their own launcher to watch what would be started.
class ProcessLauncher
{
public:
    struct Result
    {
        bool started = false;
        bool finished = false; // false when it was still running at the time-out
        int exitCode = -1;
        QByteArray standardOutput;
        QByteArray standardError;
    };

    virtual ~ProcessLauncher() = default;

    // Runs the program to its end, or kills it after timeoutMs.
    virtual Result run(const QString &program, const QStringList &arguments, int timeoutMs);
    // Starts the program and returns at once, so the event loop goes on while it runs; the run
    // reports its end, or its kill after timeoutMs. With an outputFile, standard output is
    // written there (truncated first) instead of into the result. The run belongs to parent;
    // deleting it kills a program still running.
    virtual ProcessRun *start(const QString &program, const QStringList &arguments, int timeoutMs,
                              const QString &outputFile, QObject *parent);
    // Starts the program on its own; it outlives the console.
    virtual bool startDetached(const QString &program, const QStringList &arguments);

    // The launcher in use; setCurrent(nullptr) restores the real one. Not owned.
    static ProcessLauncher &current();
    static void setCurrent(ProcessLauncher *launcher);
};

// A program started by ProcessLauncher::start. It reports once, from the event loop, never
// from within start(), so a caller can connect after starting.
class ProcessRun : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void finished(const ProcessLauncher::Result &result);
};
