#pragma once

#include "Zelt_LoginData.h"
#include "auth/ZeltAuthApi.h"

#include <QDialog>

#include <memory>

class ConsoleConfig;
class QAbstractButton;
namespace Ui {
class Zelt_ChangePasswordDialogClass;
}

// Sets a new password for the signed-in user and takes over the tokens the service hands out
// with it. Works on its own copy of the session; the caller copies it back afterwards.
class Zelt_ChangePasswordDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_ChangePasswordDialog(QWidget *parent, ConsoleConfig *config,
                              const Zelt_LoginData &session);
    ~Zelt_ChangePasswordDialog() override;

    const Zelt_LoginData &loginData() const { return data; }

public slots:
    void on_buttonBox_clicked(QAbstractButton *button);
    void onAuthPasswordResetPostSignalFull(Zelt_AuthService_API::ZeltHttpRequestWorker *worker,
                                           Zelt_AuthService_API::ZeltAuth summary);
    void onAuthPasswordResetPostSignalEFull(Zelt_AuthService_API::ZeltHttpRequestWorker *worker,
                                            QNetworkReply::NetworkError error_type,
                                            QString error_str);

private:
    std::unique_ptr<Ui::Zelt_ChangePasswordDialogClass> ui;
    ConsoleConfig *config;
    Zelt_LoginData data;
    Zelt_AuthService_API::ZeltAuthApi *authApi;
};
