#pragma once

#include "Zelt_LoginData.h"
#include "auth/ZeltAuthApi.h"

#include <QDialog>

#include <memory>

class ConsoleConfig;
namespace Ui {
class Zelt_LoginClass;
}

// Logs a user in: credentials, then the user's profile and roles, then the storage
// configuration that the user's groups carry.
class Zelt_Login : public QDialog
{
    Q_OBJECT

public:
    // A non-empty userName is filled in and locked (a new login after the session expired).
    Zelt_Login(QWidget *parent, ConsoleConfig *config, const QString &userName);
    ~Zelt_Login() override;

    const Zelt_LoginData &loginData() const { return data; }

    // While an attempt is on its way, Cancel, Esc and closing drop just that attempt.
    void reject() override;

public slots:
    void on_btnBox_accepted();
    void onAuthLogin(Zelt_AuthService_API::ZeltAuth auth);
    void onAuthLoginError(Zelt_AuthService_API::ZeltAuth auth,
                          QNetworkReply::NetworkError error_type, QString error_str);
    void onAuthUser(Zelt_AuthService_API::ZeltUser user);
    void onAuthUserError(Zelt_AuthService_API::ZeltUser user,
                         QNetworkReply::NetworkError error_type, QString error_str);
    void onGroupsGetSignal(Zelt_AuthService_API::ZeltUserGroups summary);
    void onGroupsGetSignalError(Zelt_AuthService_API::ZeltUserGroups summary,
                                QNetworkReply::NetworkError error_type, QString error_str);

private:
    // Fields and Ok locked, a busy sign and cursor shown, while the requests are on their way.
    void setBusy(bool on);
    // The account cannot log in: says why, back to a fresh attempt with the password emptied.
    void resetAttempt(const QString &title, const QString &text);
    // The login request failed: says why and lets the user try again.
    void loginFailed(const QString &text);
    // The account's data could not be read: says so and ends the program.
    void exitWith(const QString &text);

    std::unique_ptr<Ui::Zelt_LoginClass> ui;
    Zelt_AuthService_API::ZeltAuthApi *authApi;
    Zelt_LoginData data;
    ConsoleConfig *config;
    QString password;
    bool busy = false;
};
