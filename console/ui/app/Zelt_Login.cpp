#include "Zelt_Login.h"

#include "ConsoleConfig.h"
#include "LogCategories.h"
#include "LoginFailure.h"
#include "ProgramExit.h"
#include "Prompt.h"
#include "SessionRules.h"
#include "ZeltClientFactory.h"
#include "ui_Zelt_Login.h"

#include <QGuiApplication>
#include <QPushButton>

using namespace Zelt_AuthService_API;

Zelt_Login::Zelt_Login(QWidget *parent, ConsoleConfig *config, const QString &userName)
    : QDialog(parent, Qt::Tool), ui(std::make_unique<Ui::Zelt_LoginClass>()),
      authApi(newZeltClient<ZeltAuthApi>(config->authServiceHost, config->authServicePath,
                                         ZeltDefaultHeaders::Form, this)),
      config(config)
{
    ui->setupUi(this);
    activateWindow();

    connect(authApi, &ZeltAuthApi::authLoginPostSignal, this, &Zelt_Login::onAuthLogin);
    connect(authApi, &ZeltAuthApi::authLoginPostSignalE, this, &Zelt_Login::onAuthLoginError);
    connect(authApi, &ZeltAuthApi::authUserGetSignal, this, &Zelt_Login::onAuthUser);
    connect(authApi, &ZeltAuthApi::authUserGetSignalE, this, &Zelt_Login::onAuthUserError);
    connect(authApi, &ZeltAuthApi::authGroupsGetSignal, this, &Zelt_Login::onGroupsGetSignal);
    connect(authApi, &ZeltAuthApi::authGroupsGetSignalE, this, &Zelt_Login::onGroupsGetSignalError);

    ui->btnBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    // Ok is disabled while busy and the focus moves on: a second Enter must not cancel.
    ui->btnBox->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    if (!userName.isEmpty()) {
        ui->leUser->setText(userName);
        ui->leUser->setEnabled(false);
        ui->lePass->setFocus();
    }
    data.clear();
}

Zelt_Login::~Zelt_Login()
{
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}

void Zelt_Login::setBusy(bool on)
{
    if (busy == on)
        return;
    busy = on;
    ui->wdgFields->setEnabled(!on);
    ui->btnBox->button(QDialogButtonBox::Ok)->setEnabled(!on);
    ui->prgBusy->setVisible(on);
    if (on)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void Zelt_Login::reject()
{
    if (!busy) {
        QDialog::reject();
        return;
    }
    emit authApi->abortRequestsSignal();
    data.clear();
    setBusy(false);
    ui->lePass->setFocus();
}

void Zelt_Login::on_btnBox_accepted()
{
    data.clear();
    setBusy(true);
    password = ui->lePass->text();
    authApi->authLoginPost(QStringLiteral("Brenn"), ui->leUser->text(), password, QString());
}

void Zelt_Login::onAuthLogin(ZeltAuth auth)
{
    // Without a token every later request would fail as unauthorised: this is no login.
    if (auth.accessToken().isEmpty()) {
        qCWarning(lcLogin) << "The login answer holds no access token";
        loginFailed(tr("The login service's answer could not be read."));
        return;
    }
    data.accessToken = auth.accessToken();
    data.refreshToken = auth.refreshToken();
    data.tokenExpiry = QDateTime::currentDateTime().addSecs(auth.expiresIn());
    authApi->setBearerToken(data.accessToken);
    authApi->authUserGet(QString(), QStringLiteral("login-app"), QStringLiteral("meeting-app"));
}

void Zelt_Login::onAuthLoginError(ZeltAuth, QNetworkReply::NetworkError error_type,
                                  QString error_str)
{
    qCWarning(lcLogin) << Q_FUNC_INFO << "ERROR:" << error_type << error_str;
    switch (LoginFailure::of(error_type)) {
    case LoginFailure::Kind::Refused:
        loginFailed(tr("Login failed. Is your password correct?"));
        break;
    case LoginFailure::Kind::Unreachable:
        loginFailed(tr("The login service at %1 could not be reached: %2")
                        .arg(config->authServiceHost + config->authServicePath,
                             LoginFailure::detail(error_str)));
        break;
    case LoginFailure::Kind::ServiceError:
        loginFailed(tr("The login service answered with an error: %1")
                        .arg(LoginFailure::detail(error_str)));
        break;
    }
}

void Zelt_Login::loginFailed(const QString &text)
{
    setBusy(false);
    Prompt::critical(this, tr("Login failed"), text, Prompt::Ok);
}

void Zelt_Login::resetAttempt(const QString &title, const QString &text)
{
    setBusy(false);
    data.clear();
    ui->lePass->clear();
    Prompt::critical(this, title, text);
}

void Zelt_Login::exitWith(const QString &text)
{
    setBusy(false);
    Prompt::critical(this, tr("Login Error"), text);
    ProgramExit::now(0);
}

void Zelt_Login::onAuthUser(ZeltUser user)
{
    const bool active = user.isUserIdSet() && user.isStatusSet() &&
                        user.status().compare(QLatin1String("active"), Qt::CaseInsensitive) == 0;
    if (!active) {
        resetAttempt(tr("Error"), tr("Authentication failed."));
        return;
    }
    if (!user.roles().contains(QStringLiteral("Zelt_Presenter"), Qt::CaseSensitive)) {
        resetAttempt(tr("Error"),
                     tr("Your account is missing the 'Presenter' role. Please contact your "
                        "administrator."));
        return;
    }

    data.loggedIn = true;
    data.id = user.id();
    data.userId = user.userId();
    data.company = user.company();
    data.firstName = user.firstName();
    data.lastName = user.lastName();
    data.email = user.email();
    data.phone = user.phone();
    data.password = password;
    // The record keeps the account's creation day as a day number.
    data.created = user.created().isValid() ? user.created().toJulianDay() : 0;
    data.roles.append(user.roles());

    authApi->authGroupsGet(QStringLiteral("Brenn"), QStringLiteral("Customer"));
}

void Zelt_Login::onAuthUserError(ZeltUser, QNetworkReply::NetworkError error_type,
                                 QString error_str)
{
    qCDebug(lcLogin) << Q_FUNC_INFO << "ERROR:" << error_type << error_str;
    exitWith(tr("Could not retrieve account information. Please try again later."));
}

void Zelt_Login::onGroupsGetSignal(ZeltUserGroups summary)
{
    if (summary.groups().isEmpty()) {
        resetAttempt(tr("ERROR"),
                     tr("Your account belongs to no customer group. Please contact your "
                        "administrator."));
        return;
    }
    if (!SessionRules::takeStorageConfiguration(data, summary)) {
        resetAttempt(tr("ERROR"),
                     tr("Your account has no storage configuration group. Please contact "
                        "your administrator."));
        return;
    }
    data.groupsLoaded = true;
    setBusy(false);
    accept();
}

void Zelt_Login::onGroupsGetSignalError(ZeltUserGroups, QNetworkReply::NetworkError error_type,
                                        QString error_str)
{
    qCDebug(lcLogin) << Q_FUNC_INFO << "ERROR:" << error_type << error_str;
    exitWith(tr("Could not retrieve the account's groups. Please try again later."));
}
