#pragma once

#include "Prompt.h"

#include <QList>
#include <QQueue>
#include <QVariant>

// Answers the console's dialogs from a queue and records every prompt shown. Installs itself
// as the current prompt for its lifetime, then restores the one it replaced. A prompt with no
// queued answer gets the default: the dialog's default button (else Ok), or "cancelled" for inputs
// and file dialogs.
class ScriptedPrompt : public Prompt
{
public:
    struct Shown
    {
        Kind kind;
        QString title;
        QString text;
        // The value an integer input offered.
        QVariant initial;
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Queue answers in the order the prompts will appear. A Button for a
    // message box, a QString for text or a single file, a QStringList for several files, an int
    // for an integer input; an invalid QVariant cancels.
    void answer(const QVariant &value) { answers.enqueue(value); }
    void answerButton(Button button) { answer(QVariant::fromValue(int(button))); }

    QList<Shown> shown;
    int pendingAnswers() const { return int(answers.size()); }
    // The texts of every prompt of one kind, in order.
    QStringList texts(Kind kind) const;
    QStringList titles(Kind kind) const;

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

private:
    QVariant next(Kind kind, const QString &title, const QString &text);

    QQueue<QVariant> answers;
    Prompt *replaced;
};
