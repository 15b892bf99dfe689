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
    // Back to a fresh attempt: record cleared, password emptied, buttons enabled.
    void resetAttempt();
    // The login request failed: says why and lets the user try again.
    void loginFailed(const QString &text);

    std::unique_ptr<Ui::Zelt_LoginClass> ui;
    Zelt_AuthService_API::ZeltAuthApi *authApi;
    Zelt_LoginData data;
    ConsoleConfig *config;
    QString password;
};
