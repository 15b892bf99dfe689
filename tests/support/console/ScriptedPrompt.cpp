#include "ScriptedPrompt.h"

ScriptedPrompt::ScriptedPrompt()
{
    Prompt::setCurrent(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    Prompt::setCurrent(nullptr);
}

QStringList ScriptedPrompt::texts(Kind kind) const
{
    QStringList result;
    for (const Shown &prompt : shown)
        if (prompt.kind == kind)
            result << prompt.text;
    return result;
}

QStringList ScriptedPrompt::titles(Kind kind) const
{
    QStringList result;
    for (const Shown &prompt : shown)
        if (prompt.kind == kind)
            result << prompt.title;
    return result;
}

QVariant ScriptedPrompt::next(Kind kind, const QString &title, const QString &text)
{
    shown.append({kind, title, text});
    return answers.isEmpty() ? QVariant() : answers.dequeue();
}

QMessageBox::StandardButton ScriptedPrompt::message(Kind kind, QWidget *, const QString &title,
                                                    const QString &text,
                                                    QMessageBox::StandardButtons,
                                                    QMessageBox::StandardButton defaultButton)
{
    const QVariant value = next(kind, title, text);
    if (value.isValid())
        return QMessageBox::StandardButton(value.toInt());
    return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
}

std::optional<QString> ScriptedPrompt::text(QWidget *, const QString &title, const QString &label,
                                            QLineEdit::EchoMode, const QString &)
{
    const QVariant value = next(Kind::Text, title, label);
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

std::optional<int> ScriptedPrompt::integer(QWidget *, const QString &title, const QString &label,
                                           int, int, int, int)
{
    const QVariant value = next(Kind::Integer, title, label);
    return value.isValid() ? std::optional<int>(value.toInt()) : std::nullopt;
}

QString ScriptedPrompt::openFileName(QWidget *, const QString &caption, const QString &,
                                     const QString &)
{
    return next(Kind::OpenFile, caption, QString()).toString();
}

QStringList ScriptedPrompt::openFileNames(QWidget *, const QString &caption, const QString &,
                                          const QString &)
{
    return next(Kind::OpenFiles, caption, QString()).toStringList();
}

QString ScriptedPrompt::saveFileName(QWidget *, const QString &caption, const QString &,
                                     const QString &)
{
    return next(Kind::SaveFile, caption, QString()).toString();
}

QString ScriptedPrompt::existingDirectory(QWidget *, const QString &caption, const QString &)
{
    return next(Kind::Directory, caption, QString()).toString();
}
