#pragma once

// What every benchmark here needs: the process's memory figures, random files and checksums.

#include <QByteArray>
#include <QCommandLineOption>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

namespace BenchSupport {

constexpr qint64 MiB = 1024 * 1024;

// The size option of the transfer benchmarks: "--size-mib N".
inline QCommandLineOption sizeMibOption(const QString &what, int defaultMiB)
{
    return QCommandLineOption(QStringLiteral("size-mib"),
                              QStringLiteral("%1 size in MiB (%2).").arg(what).arg(defaultMiB),
                              QStringLiteral("n"), QString::number(defaultMiB));
}

// The benchmarks that build widgets run offscreen unless a platform is chosen.
inline void offscreenUnlessChosen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A "/proc/<process>/status" figure in KiB ("VmRSS:", "VmHWM:"), or -1.
inline qint64 statusKiB(const char *field, const QString &process = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Lets VmHWM start again from the current resident size.
inline void resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

inline bool writeRandomFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(MiB, Qt::Uninitialized);
    for (qint64 written = 0; written < size; written += block.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()),
                                              block.size() / 4);
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

inline QByteArray sha256Of(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

} // namespace BenchSupport
