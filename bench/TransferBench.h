#pragma once

// What the transfer benchmarks share: a transfer timed with its peak memory, in this process or
// in another program, and the library's chunked transfer loops.

#include "BenchSupport.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <vector>

extern char **environ;

namespace TransferBench {

struct Measurement
{
    QString what;
    double seconds = 0;
    qint64 peakKiB = 0;       // peak resident memory of the process that moved the bytes
    qint64 aboveIdleKiB = -1; // the same above the process's memory before the transfer
    bool ok = false;
};

template <class Transfer> Measurement measureHere(const QString &what, Transfer transfer)
{
    using namespace BenchSupport;
    Measurement measurement;
    measurement.what = what;
    resetPeakMemory();
    const qint64 idle = statusKiB("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    measurement.ok = transfer();
    measurement.seconds = timer.nsecsElapsed() / 1e9;
    measurement.peakKiB = statusKiB("VmHWM:");
    measurement.aboveIdleKiB = measurement.peakKiB - idle;
    return measurement;
}

// Runs a program to its end, sampling its peak memory (VmHWM) until it exits: the peak that
// wait4 reports would include this process's memory, which a spawned child starts from. A new
// program's idle is nothing, so its peak is all above idle.
inline Measurement measureChild(const QString &what, const QStringList &command,
                                const QStringList &extraEnvironment)
{
    Measurement measurement;
    measurement.what = what;
    std::vector<QByteArray> storage;
    std::vector<char *> argv;
    for (const QString &argument : command)
        storage.push_back(argument.toLocal8Bit());
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environmentStorage;
    std::vector<char *> environment;
    // An extra variable replaces the inherited one of its name ("NAME=" empties it).
    QStringList replaced;
    for (const QString &variable : extraEnvironment)
        replaced << variable.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
    for (char **variable = environ; *variable; ++variable) {
        const QString inherited = QString::fromLocal8Bit(*variable);
        if (!std::any_of(replaced.cbegin(), replaced.cend(),
                         [&](const QString &name) { return inherited.startsWith(name); }))
            environment.push_back(*variable);
    }
    for (const QString &variable : extraEnvironment)
        environmentStorage.push_back(variable.toLocal8Bit());
    for (QByteArray &variable : environmentStorage)
        environment.push_back(variable.data());
    environment.push_back(nullptr);

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv.front(), nullptr, nullptr, argv.data(), environment.data()) != 0)
        return measurement;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        measurement.peakKiB =
            qMax(measurement.peakKiB, BenchSupport::statusKiB("VmHWM:", QString::number(pid)));
        QThread::msleep(2);
    }
    measurement.seconds = timer.nsecsElapsed() / 1e9;
    measurement.aboveIdleKiB = measurement.peakKiB;
    measurement.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measurement;
}

inline bool uploadInChunks(Brenn_AWS::Storage_S3 &storage, const QString &bucket,
                           const QString &key, const QString &source)
{
    Brenn_AWS::MPInfo info;
    do {
        info = storage.UploadObjectMultipart(bucket, key, source,
                                             QStringLiteral("application/octet-stream"));
    } while (!info.finished);
    return info.transferred == QFileInfo(source).size();
}

inline bool downloadInChunks(Brenn_AWS::Storage_S3 &storage, const QString &bucket,
                             const QString &key, const QString &target)
{
    Brenn_AWS::MPInfo info;
    do {
        info = storage.DownloadObjectMultipart(bucket, key, target);
    } while (!info.finished);
    return info.transferred == info.size;
}

} // namespace TransferBench
