#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>

#include <optional>

class QObject;

// Every message box, input dialog and file dialog of the console goes through the current
// Prompt, so that logic can ask the user without knowing about widgets and tests can answer
// without a user. The program installs the Qt dialogs (QtPrompt) at start.
class Prompt
{
public:
    enum class Kind
    {
        Critical,
        Warning,
        Information,
        Question,
        Text,
        Integer,
        OpenFile,
        OpenFiles,
        SaveFile,
        Directory
    };

    // The values of QMessageBox::StandardButton, so that the Qt side converts by casting.
    enum Button
    {
        NoButton = 0x00000000,
        Ok = 0x00000400,
        Save = 0x00000800,
        SaveAll = 0x00001000,
        Open = 0x00002000,
        Yes = 0x00004000,
        YesToAll = 0x00008000,
        No = 0x00010000,
        NoToAll = 0x00020000,
        Abort = 0x00040000,
        Retry = 0x00080000,
        Ignore = 0x00100000,
        Close = 0x00200000,
        Cancel = 0x00400000,
        Discard = 0x00800000,
        Help = 0x01000000,
        Apply = 0x02000000,
        Reset = 0x04000000,
        RestoreDefaults = 0x08000000
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    enum class Echo
    {
        Normal,
        Password
    };

    virtual ~Prompt() = default;

    // parent is the object asking; the dialog is placed over its window, if it has one.
    virtual Button message(Kind kind, QObject *parent, const QString &title, const QString &text,
                           Buttons buttons, Button defaultButton) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<QString> text(QObject *parent, const QString &title, const QString &label,
                                        Echo echo, const QString &initial) = 0;
    virtual std::optional<int> integer(QObject *parent, const QString &title, const QString &label,
                                       int value, int minimum, int maximum, int step) = 0;
    // File dialogs answer an empty string (or list) when cancelled.
    virtual QString openFileName(QObject *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QStringList openFileNames(QObject *parent, const QString &caption, const QString &dir,
                                      const QString &filter) = 0;
    enum class Overwrite
    {
        Confirm,
        Silently // the caller asks itself
    };
    virtual QString saveFileName(QObject *parent, const QString &caption, const QString &dir,
                                 const QString &filter, Overwrite overwrite) = 0;
    virtual QString existingDirectory(QObject *parent, const QString &caption,
                                      const QString &dir) = 0;

    // The prompt in use. Without one, every question gets its default answer and is logged.
    static Prompt &current();
    // Installs a prompt (not owned; nullptr removes it) and returns the one it replaces.
    static Prompt *setCurrent(Prompt *prompt);

    // Shorthands with QMessageBox's signatures.
    static Button critical(QObject *parent, const QString &title, const QString &text,
                           Buttons buttons = Ok, Button defaultButton = NoButton);
    static Button warning(QObject *parent, const QString &title, const QString &text,
                          Buttons buttons = Ok, Button defaultButton = NoButton);
    static Button information(QObject *parent, const QString &title, const QString &text,
                              Buttons buttons = Ok, Button defaultButton = NoButton);
    static Button question(QObject *parent, const QString &title, const QString &text,
                           Buttons buttons = Buttons(Yes | No), Button defaultButton = NoButton);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompt::Buttons)
