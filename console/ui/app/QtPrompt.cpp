#include "QtPrompt.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

static_assert(int(Prompt::Yes) == int(QMessageBox::Yes) &&
                  int(Prompt::Cancel) == int(QMessageBox::Cancel) &&
                  int(Prompt::RestoreDefaults) == int(QMessageBox::RestoreDefaults),
              "Prompt buttons must keep QMessageBox's values");

namespace {
// The dialog sits over the window of the object that asks; objects without one get none.
QWidget *windowOf(QObject *object)
{
    for (; object; object = object->parent())
        if (auto *widget = qobject_cast<QWidget *>(object))
            return widget;
    return nullptr;
}
} // namespace

Prompt::Button QtPrompt::message(Kind kind, QObject *parent, const QString &title,
                                 const QString &text, Buttons buttons, Button defaultButton)
{
    const auto qtButtons = QMessageBox::StandardButtons(int(buttons));
    const auto qtDefault = QMessageBox::StandardButton(defaultButton);
    QWidget *window = windowOf(parent);
    switch (kind) {
    case Kind::Critical:
        return Button(QMessageBox::critical(window, title, text, qtButtons, qtDefault));
    case Kind::Warning:
        return Button(QMessageBox::warning(window, title, text, qtButtons, qtDefault));
    case Kind::Question:
        return Button(QMessageBox::question(window, title, text, qtButtons, qtDefault));
    default:
        return Button(QMessageBox::information(window, title, text, qtButtons, qtDefault));
    }
}

std::optional<QString> QtPrompt::text(QObject *parent, const QString &title, const QString &label,
                                      Echo echo, const QString &initial)
{
    bool ok = false;
    const QString value = QInputDialog::getText(
        windowOf(parent), title, label,
        echo == Echo::Password ? QLineEdit::Password : QLineEdit::Normal, initial, &ok);
    return ok ? std::optional<QString>(value) : std::nullopt;
}

std::optional<int> QtPrompt::integer(QObject *parent, const QString &title, const QString &label,
                                     int value, int minimum, int maximum, int step)
{
    bool ok = false;
    const int chosen =
        QInputDialog::getInt(windowOf(parent), title, label, value, minimum, maximum, step, &ok);
    return ok ? std::optional<int>(chosen) : std::nullopt;
}

QString QtPrompt::openFileName(QObject *parent, const QString &caption, const QString &dir,
                               const QString &filter)
{
    return QFileDialog::getOpenFileName(windowOf(parent), caption, dir, filter);
}

QStringList QtPrompt::openFileNames(QObject *parent, const QString &caption, const QString &dir,
                                    const QString &filter)
{
    return QFileDialog::getOpenFileNames(windowOf(parent), caption, dir, filter);
}

QString QtPrompt::saveFileName(QObject *parent, const QString &caption, const QString &dir,
                               const QString &filter, Overwrite overwrite)
{
    const QFileDialog::Options options = overwrite == Overwrite::Silently
                                             ? QFileDialog::DontConfirmOverwrite
                                             : QFileDialog::Options();
    return QFileDialog::getSaveFileName(windowOf(parent), caption, dir, filter, nullptr, options);
}

QString QtPrompt::existingDirectory(QObject *parent, const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(windowOf(parent), caption, dir);
}
