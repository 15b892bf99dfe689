#pragma once

#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

class Zelt_Login;

// Answers the console's login dialog the way a user would: whenever a login dialog is open and
// ready for input, it types the next queued credentials and presses Ok, or presses Cancel.
// With nothing queued it cancels, so a test never hangs on a dialog it did not expect.
class LoginDriver : public QObject
{
    Q_OBJECT

public:
    LoginDriver();

    void typeCredentials(const QString &user, const QString &password);
    void cancel();

    int dialogsSeen() const { return seen; }
    // The user name field as the last dialog showed it, and whether it could be edited.
    QString lastUserField() const { return userField; }
    bool lastUserFieldEditable() const { return userEditable; }

private:
    struct Step
    {
        bool cancel = false;
        QString user;
        QString password;
    };

    void act();

    QTimer poll;
    QQueue<Step> steps;
    Zelt_Login *lastDialog = nullptr;
    int seen = 0;
    QString userField;
    bool userEditable = true;
};
