#include "Prompt.h"

#include <QFileDialog>
#include <QInputDialog>

namespace {
Prompt *installedPrompt = nullptr;

QtPrompt &qtPrompt()
{
    static QtPrompt prompt;
    return prompt;
}
} // namespace

Prompt &Prompt::current()
{
    return installedPrompt ? *installedPrompt : qtPrompt();
}

void Prompt::setCurrent(Prompt *prompt)
{
    installedPrompt = prompt;
}

QMessageBox::StandardButton Prompt::critical(QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return current().message(Kind::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompt::warning(QWidget *parent, const QString &title,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{
    return current().message(Kind::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompt::information(QWidget *parent, const QString &title,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton)
{
    return current().message(Kind::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompt::question(QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return current().message(Kind::Question, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton QtPrompt::message(Kind kind, QWidget *parent, const QString &title,
                                              const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    switch (kind) {
    case Kind::Critical:
        return QMessageBox::critical(parent, title, text, buttons, defaultButton);
    case Kind::Warning:
        return QMessageBox::warning(parent, title, text, buttons, defaultButton);
    case Kind::Question:
        return QMessageBox::question(parent, title, text, buttons, defaultButton);
    default:
        return QMessageBox::information(parent, title, text, buttons, defaultButton);
    }
}

std::optional<QString> QtPrompt::text(QWidget *parent, const QString &title, const QString &label,
                                      QLineEdit::EchoMode echo, const QString &initial)
{
    bool ok = false;
    const QString value = QInputDialog::getText(parent, title, label, echo, initial, &ok);
    return ok ? std::optional<QString>(value) : std::nullopt;
}

std::optional<int> QtPrompt::integer(QWidget *parent, const QString &title, const QString &label,
                                     int value, int minimum, int maximum, int step)
{
    bool ok = false;
    const int chosen =
        QInputDialog::getInt(parent, title, label, value, minimum, maximum, step, &ok);
    return ok ? std::optional<int>(chosen) : std::nullopt;
}

QString QtPrompt::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                               const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QStringList QtPrompt::openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString QtPrompt::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                               const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString QtPrompt::existingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}
