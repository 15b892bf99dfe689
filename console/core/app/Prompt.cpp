#include "Prompt.h"

#include "LogCategories.h"

namespace {
// Where no dialogs can be shown: every question gets its default answer, and the log says so.
class UnattendedPrompt : public Prompt
{
public:
    Button message(Kind, QObject *, const QString &title, const QString &text, Buttons,
                   Button defaultButton) override
    {
        unanswered(title, text);
        return defaultButton == NoButton ? Ok : defaultButton;
    }
    std::optional<QString> text(QObject *, const QString &title, const QString &label, Echo,
                                const QString &) override
    {
        return unanswered(title, label), std::nullopt;
    }
    std::optional<int> integer(QObject *, const QString &title, const QString &label, int, int, int,
                               int) override
    {
        return unanswered(title, label), std::nullopt;
    }
    QString openFileName(QObject *, const QString &caption, const QString &,
                         const QString &) override
    {
        return unanswered(caption, QString()), QString();
    }
    QStringList openFileNames(QObject *, const QString &caption, const QString &,
                              const QString &) override
    {
        return unanswered(caption, QString()), QStringList();
    }
    QString saveFileName(QObject *, const QString &caption, const QString &, const QString &,
                         Overwrite) override
    {
        return unanswered(caption, QString()), QString();
    }
    QString existingDirectory(QObject *, const QString &caption, const QString &) override
    {
        return unanswered(caption, QString()), QString();
    }

private:
    static void unanswered(const QString &title, const QString &text)
    {
        qCWarning(lcSrv).noquote() << "No one to ask:" << title << text;
    }
};

Prompt *installedPrompt = nullptr;
} // namespace

Prompt &Prompt::current()
{
    static UnattendedPrompt unattended;
    return installedPrompt ? *installedPrompt : unattended;
}

Prompt *Prompt::setCurrent(Prompt *prompt)
{
    Prompt *previous = installedPrompt;
    installedPrompt = prompt;
    return previous;
}

Prompt::Button Prompt::critical(QObject *parent, const QString &title, const QString &text,
                                Buttons buttons, Button defaultButton)
{
    return current().message(Kind::Critical, parent, title, text, buttons, defaultButton);
}

Prompt::Button Prompt::warning(QObject *parent, const QString &title, const QString &text,
                               Buttons buttons, Button defaultButton)
{
    return current().message(Kind::Warning, parent, title, text, buttons, defaultButton);
}

Prompt::Button Prompt::information(QObject *parent, const QString &title, const QString &text,
                                   Buttons buttons, Button defaultButton)
{
    return current().message(Kind::Information, parent, title, text, buttons, defaultButton);
}

Prompt::Button Prompt::question(QObject *parent, const QString &title, const QString &text,
                                Buttons buttons, Button defaultButton)
{
    return current().message(Kind::Question, parent, title, text, buttons, defaultButton);
}
