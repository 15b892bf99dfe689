#pragma once

#include "ZeltAuth.h"
#include "ZeltUser.h"
#include "ZeltUserGroups.h"
#include "Zelt_AuthService_API.h"

#include <QNetworkReply>
#include <QString>

namespace Zelt_AuthService_API {

// The authentication service: login and logout, token refresh, the user and its groups, and the
// password change. All parameters travel as forms or queries; replies are JSON.
class ZeltAuthApi : public ZeltApiClient
{
    Q_OBJECT

public:
    using ZeltApiClient::ZeltApiClient;

    void authGroupsGet(const QString &realm, const QString &prefix);
    void authLoginPost(const QString &client, const QString &username, const QString &password,
                       const QString &passwordold);
    void authLogoutPost(const QString &refresh_token);
    void authPasswordResetPost(const QString &id, const QString &client, const QString &username,
                               const QString &password, const QString &passwordold);
    void authRefreshPost(const QString &realm, const QString &token);
    void authUserGet(const QString &client, const QString &clientAuth, const QString &clientApp);

signals:
    void authGroupsGetSignal(ZeltUserGroups summary);
    void authGroupsGetSignalFull(ZeltHttpRequestWorker *worker, ZeltUserGroups summary);
    void authGroupsGetSignalE(ZeltUserGroups summary, QNetworkReply::NetworkError error_type,
                              QString error_str);
    void authGroupsGetSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void authLoginPostSignal(ZeltAuth summary);
    void authLoginPostSignalFull(ZeltHttpRequestWorker *worker, ZeltAuth summary);
    void authLoginPostSignalE(ZeltAuth summary, QNetworkReply::NetworkError error_type,
                              QString error_str);
    void authLoginPostSignalEFull(ZeltHttpRequestWorker *worker,
                                  QNetworkReply::NetworkError error_type, QString error_str);

    void authLogoutPostSignal();
    void authLogoutPostSignalFull(ZeltHttpRequestWorker *worker);
    void authLogoutPostSignalE(QNetworkReply::NetworkError error_type, QString error_str);
    void authLogoutPostSignalEFull(ZeltHttpRequestWorker *worker,
                                   QNetworkReply::NetworkError error_type, QString error_str);

    void authPasswordResetPostSignal(ZeltAuth summary);
    void authPasswordResetPostSignalFull(ZeltHttpRequestWorker *worker, ZeltAuth summary);
    void authPasswordResetPostSignalE(ZeltAuth summary, QNetworkReply::NetworkError error_type,
                                      QString error_str);
    void authPasswordResetPostSignalEFull(ZeltHttpRequestWorker *worker,
                                          QNetworkReply::NetworkError error_type,
                                          QString error_str);

    void authRefreshPostSignal(ZeltAuth summary);
    void authRefreshPostSignalFull(ZeltHttpRequestWorker *worker, ZeltAuth summary);
    void authRefreshPostSignalE(ZeltAuth summary, QNetworkReply::NetworkError error_type,
                                QString error_str);
    void authRefreshPostSignalEFull(ZeltHttpRequestWorker *worker,
                                    QNetworkReply::NetworkError error_type, QString error_str);

    void authUserGetSignal(ZeltUser summary);
    void authUserGetSignalFull(ZeltHttpRequestWorker *worker, ZeltUser summary);
    void authUserGetSignalE(ZeltUser summary, QNetworkReply::NetworkError error_type,
                            QString error_str);
    void authUserGetSignalEFull(ZeltHttpRequestWorker *worker,
                                QNetworkReply::NetworkError error_type, QString error_str);
};

} // namespace Zelt_AuthService_API
