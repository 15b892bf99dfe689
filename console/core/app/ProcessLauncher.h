#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    // Starts the program on its own; it outlives the console.
    virtual bool startDetached(const QString &program, const QStringList &arguments);

    // The launcher in use; setCurrent(nullptr) restores the real one. Not owned.
    static ProcessLauncher &current();
    static void setCurrent(ProcessLauncher *launcher);
};
