#include "LoginDriver.h"

#include "Zelt_Login.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

LoginDriver::LoginDriver()
{
    connect(&poll, &QTimer::timeout, this, &LoginDriver::act);
    poll.start(10);
}

void LoginDriver::typeCredentials(const QString &user, const QString &password)
{
    steps.enqueue({false, user, password});
}

void LoginDriver::cancel()
{
    steps.enqueue({true, {}, {}});
}

void LoginDriver::act()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<Zelt_Login *>(widget);
        if (!dialog || !dialog->isVisible())
            continue;
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("btnBox"));
        // A disabled Ok means a login attempt is still on its way.
        if (!buttons || !buttons->button(QDialogButtonBox::Ok)->isEnabled())
            continue;
        if (dialog != lastDialog) {
            lastDialog = dialog;
            ++seen;
        }
        auto *user = dialog->findChild<QLineEdit *>(QStringLiteral("leUser"));
        auto *password = dialog->findChild<QLineEdit *>(QStringLiteral("lePass"));
        userField = user->text();
        userEditable = user->isEnabled();

        const Step step = steps.isEmpty() ? Step{true, {}, {}} : steps.dequeue();
        if (step.cancel) {
            buttons->button(QDialogButtonBox::Cancel)->click();
            return;
        }
        if (user->isEnabled())
            user->setText(step.user);
        password->setText(step.password);
        buttons->button(QDialogButtonBox::Ok)->click();
        return;
    }
}
