#pragma once

#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// Every message box, input dialog and file dialog of the console goes through the current
// Prompt, so tests can answer them without a user. The default shows Qt's standard dialogs.
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

    virtual ~Prompt() = default;

    virtual QMessageBox::StandardButton message(Kind kind, QWidget *parent, const QString &title,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<QString> text(QWidget *parent, const QString &title, const QString &label,
                                        QLineEdit::EchoMode echo, const QString &initial) = 0;
    virtual std::optional<int> integer(QWidget *parent, const QString &title, const QString &label,
                                       int value, int minimum, int maximum, int step) = 0;
    // File dialogs answer an empty string (or list) when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString existingDirectory(QWidget *parent, const QString &caption,
                                      const QString &dir) = 0;

    // The prompt in use; setCurrent(nullptr) restores the Qt dialogs. Not owned.
    static Prompt &current();
    static void setCurrent(Prompt *prompt);

    // Shorthands with QMessageBox's signatures.
    static QMessageBox::StandardButton
    critical(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    warning(QWidget *parent, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    information(QWidget *parent, const QString &title, const QString &text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
};

// The real dialogs.
class QtPrompt : public Prompt
{
public:
    QMessageBox::StandardButton message(Kind kind, QWidget *parent, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    std::optional<QString> text(QWidget *parent, const QString &title, const QString &label,
                                QLineEdit::EchoMode echo, const QString &initial) override;
    std::optional<int> integer(QWidget *parent, const QString &title, const QString &label,
                               int value, int minimum, int maximum, int step) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir) override;
};
