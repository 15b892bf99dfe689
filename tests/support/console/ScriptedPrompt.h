#pragma once

#include "Prompt.h"

#include <QList>
#include <QQueue>
#include <QVariant>

// Answers the console's dialogs from a queue and records every prompt shown. Installs itself
// as the current prompt for its lifetime. A prompt with no queued answer gets the default:
// the dialog's default button (else Ok), or "cancelled" for inputs and file dialogs.
class ScriptedPrompt : public Prompt
{
public:
    struct Shown
    {
        Kind kind;
        QString title;
        QString text;
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Queue answers in the order the prompts will appear. A QMessageBox::StandardButton for a
    // message box, a QString for text or a single file, a QStringList for several files, an int
    // for an integer input; an invalid QVariant cancels.
    void answer(const QVariant &value) { answers.enqueue(value); }
    void answerButton(QMessageBox::StandardButton button)
    {
        answer(QVariant::fromValue(int(button)));
    }

    QList<Shown> shown;
    int pendingAnswers() const { return int(answers.size()); }
    // The texts of every prompt of one kind, in order.
    QStringList texts(Kind kind) const;
    QStringList titles(Kind kind) const;

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

private:
    QVariant next(Kind kind, const QString &title, const QString &text);

    QQueue<QVariant> answers;
};
