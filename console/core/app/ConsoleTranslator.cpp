#include "ConsoleTranslator.h"

#include <QCoreApplication>
#include <QLibraryInfo>

ConsoleTranslator::ConsoleTranslator(const QLocale &locale, const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (console.load(locale, QStringLiteral("vorel_console"), QStringLiteral("_"), folder)) {
            consoleInstalled = QCoreApplication::installTranslator(&console);
            break;
        }
    }
    // Qt's buttons in German under English texts would be worse than all English.
    if (!consoleInstalled)
        return;
    if (qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtInstalled = QCoreApplication::installTranslator(&qt);
}

ConsoleTranslator::~ConsoleTranslator()
{
    if (qtInstalled)
        QCoreApplication::removeTranslator(&qt);
    if (consoleInstalled)
        QCoreApplication::removeTranslator(&console);
}

QStringList ConsoleTranslator::qmFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder + QStringLiteral("/../translations"),
            programFolder + QStringLiteral("/../" VOREL_INSTALLED_QM_DIR)};
}
