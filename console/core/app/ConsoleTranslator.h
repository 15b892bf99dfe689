#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>

// Puts the console into the user's language while it lives: its own texts from
// vorel_console_<language>.qm and, for the same language, Qt's dialog texts (qtbase). Without a
// translation for the locale the console stays in English, its source language.
class ConsoleTranslator
{
public:
    explicit ConsoleTranslator(const QLocale &locale, const QStringList &folders = qmFolders());
    ~ConsoleTranslator();
    ConsoleTranslator(const ConsoleTranslator &) = delete;
    ConsoleTranslator &operator=(const ConsoleTranslator &) = delete;

    bool consoleTranslated() const { return consoleInstalled; }
    bool qtTranslated() const { return qtInstalled; }

    // Next to the program: the build tree's translations folder, then the installed one.
    static QStringList qmFolders();

private:
    QTranslator console;
    QTranslator qt;
    bool consoleInstalled = false;
    bool qtInstalled = false;
};
