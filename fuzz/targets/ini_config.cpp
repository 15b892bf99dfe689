// The console's ini file, as read at start with "-i".
#include "FuzzSupport.h"

#include "ConsoleConfig.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSettings>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceQtMessages();
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // QSettings caches a file it has read by name and time stamp: one name with a new time stamp
    // each time is read afresh, and the cache keeps one entry instead of growing by one per input
    // (which made every input look like a leak and cost a full leak scan).
    static qint64 count = 0;
    const QString iniFile = fuzzScratch().filePath(QStringLiteral("console.ini"));
    QFile file(iniFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.setFileTime(QDateTime::fromSecsSinceEpoch(++count), QFileDevice::FileModificationTime);
    file.close();
    {
        const ConsoleConfig config(
            {QStringLiteral("Zelt_ConsoleApp"), QStringLiteral("-i"), iniFile});
        FUZZ_CHECK(config.getInactivityTime() >= ConsoleConfig::MinInactivityTime &&
                   config.getInactivityTime() <= ConsoleConfig::MaxInactivityTime);
    }
    // The configuration keeps its settings for the program's lifetime; here that is one input.
    qDeleteAll(QCoreApplication::instance()->findChildren<QSettings *>());
    QFile::remove(iniFile);
    return 0;
}
