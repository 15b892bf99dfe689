// The console's ini file, as read at start with "-i".
#include "FuzzSupport.h"

#include "ConsoleConfig.h"

#include <QCoreApplication>
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
    // A new name each time: QSettings caches a file it has read by name and time stamp.
    static quint64 count = 0;
    const QString iniFile = fuzzScratch().filePath(QStringLiteral("%1.ini").arg(++count));
    QFile file(iniFile);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
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
