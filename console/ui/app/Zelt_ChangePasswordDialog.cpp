#include "Zelt_ChangePasswordDialog.h"

#include "ConsoleConfig.h"
#include "LogCategories.h"
#include "PasswordChange.h"
#include "Prompt.h"
#include "ZeltClientFactory.h"
#include "ui_Zelt_ChangePasswordDialog.h"

using namespace Zelt_AuthService_API;

Zelt_ChangePasswordDialog::Zelt_ChangePasswordDialog(QWidget *parent, ConsoleConfig *config,
                                                     const Zelt_LoginData &session)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_ChangePasswordDialogClass>()), config(config),
      data(session)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // In the action role, so that Ok runs the checks instead of closing the dialog.
    ui->buttonBox->addButton(tr("Ok"), QDialogButtonBox::ActionRole);

    // No bearer token: the current password authorises the change.
    authApi = newZeltClient<ZeltAuthApi>(config->authServiceHost, config->authServicePath,
                                         ZeltDefaultHeaders::Form, this);
    connect(authApi, &ZeltAuthApi::authPasswordResetPostSignalFull, this,
            &Zelt_ChangePasswordDialog::onAuthPasswordResetPostSignalFull);
    connect(authApi, &ZeltAuthApi::authPasswordResetPostSignalEFull, this,
            &Zelt_ChangePasswordDialog::onAuthPasswordResetPostSignalEFull);
}

Zelt_ChangePasswordDialog::~Zelt_ChangePasswordDialog() = default;

void Zelt_ChangePasswordDialog::on_buttonBox_clicked(QAbstractButton *button)
{
    if (ui->buttonBox->buttonRole(button) != QDialogButtonBox::ActionRole)
        return;
    const QString current = ui->leOldPW->text();
    const QString newPassword = ui->leNewPW1->text();
    if (const auto refusal = PasswordChange::refusal(current, newPassword, ui->leNewPW2->text())) {
        Prompt::critical(this, tr("Cannot change Password"), *refusal);
        return;
    }
    ui->buttonBox->setEnabled(false);
    authApi->authPasswordResetPost(data.id, QStringLiteral("Brenn"), data.userId, newPassword,
                                   current);
}

void Zelt_ChangePasswordDialog::onAuthPasswordResetPostSignalFull(ZeltHttpRequestWorker *,
                                                                  ZeltAuth summary)
{
    Prompt::information(this, tr("Change Password"), tr("Password changed"));
    if (!PasswordChange::takeTokens(data, summary, QDateTime::currentDateTime()))
        qCDebug(lcLogin) << "Warning: No Auth Token returned on Password change.";
    accept();
}

void Zelt_ChangePasswordDialog::onAuthPasswordResetPostSignalEFull(
    ZeltHttpRequestWorker *, QNetworkReply::NetworkError error_type, QString error_str)
{
    qCDebug(lcLogin) << Q_FUNC_INFO << "ERROR:" << error_type << error_str;
    ui->buttonBox->setEnabled(true);
    Prompt::critical(this, tr("Error"), PasswordChange::failureText(error_str));
}
