#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The input as Qt bytes (deep copy: the parsers may keep what they are given).
inline QByteArray fuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A folder for files a target writes; removed when the run ends, so runs leave nothing behind.
inline QTemporaryDir &fuzzScratch()
{
    static QTemporaryDir scratch;
    return scratch;
}

// Logging would only slow the run down and flood its output.
inline void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// A broken property is a finding like a crash: report it and stop.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
