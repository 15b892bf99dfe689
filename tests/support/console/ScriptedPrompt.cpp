#include "ScriptedPrompt.h"

ScriptedPrompt::ScriptedPrompt() : replaced(Prompt::setCurrent(this)) {}

ScriptedPrompt::~ScriptedPrompt()
{
    Prompt::setCurrent(replaced);
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
    shown.append({kind, title, text, {}});
    return answers.isEmpty() ? QVariant() : answers.dequeue();
}

Prompt::Button ScriptedPrompt::message(Kind kind, QObject *, const QString &title,
                                       const QString &text, Buttons, Button defaultButton)
{
    const QVariant value = next(kind, title, text);
    if (value.isValid())
        return Button(value.toInt());
    return defaultButton == NoButton ? Ok : defaultButton;
}

std::optional<QString> ScriptedPrompt::text(QObject *, const QString &title, const QString &label,
                                            Echo, const QString &)
{
    const QVariant value = next(Kind::Text, title, label);
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

std::optional<int> ScriptedPrompt::integer(QObject *, const QString &title, const QString &label,
                                           int initial, int, int, int)
{
    const QVariant value = next(Kind::Integer, title, label);
    shown.last().initial = initial;
    return value.isValid() ? std::optional<int>(value.toInt()) : std::nullopt;
}

QString ScriptedPrompt::openFileName(QObject *, const QString &caption, const QString &,
                                     const QString &)
{
    return next(Kind::OpenFile, caption, QString()).toString();
}

QStringList ScriptedPrompt::openFileNames(QObject *, const QString &caption, const QString &,
                                          const QString &)
{
    return next(Kind::OpenFiles, caption, QString()).toStringList();
}

QString ScriptedPrompt::saveFileName(QObject *, const QString &caption, const QString &,
                                     const QString &, Overwrite)
{
    return next(Kind::SaveFile, caption, QString()).toString();
}

QString ScriptedPrompt::existingDirectory(QObject *, const QString &caption, const QString &)
{
    return next(Kind::Directory, caption, QString()).toString();
}
