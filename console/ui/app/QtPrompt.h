#pragma once

#include "Prompt.h"

// The real dialogs: Qt's standard message boxes, input and file dialogs.
class QtPrompt : public Prompt
{
public:
    Button message(Kind kind, QObject *parent, const QString &title, const QString &text,
                   Buttons buttons, Button defaultButton) override;
    std::optional<QString> text(QObject *parent, const QString &title, const QString &label,
                                Echo echo, const QString &initial) override;
    std::optional<int> integer(QObject *parent, const QString &title, const QString &label,
                               int value, int minimum, int maximum, int step) override;
    QString openFileName(QObject *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QStringList openFileNames(QObject *parent, const QString &caption, const QString &dir,
                              const QString &filter) override;
    QString saveFileName(QObject *parent, const QString &caption, const QString &dir,
                         const QString &filter, Overwrite overwrite) override;
    QString existingDirectory(QObject *parent, const QString &caption, const QString &dir) override;
};
