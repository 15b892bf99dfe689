#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

// The session: who is signed in, the tokens, the roles and the storage access.
struct Zelt_LoginData
{
    enum StorageMode
    {
        NoStorage = -1,
        NextCloud = 0,
        MinIO = 1,
        AmazonS3 = 2
    };

    QString id;
    QString accessToken;
    QString refreshToken;
    QDateTime tokenExpiry;
    QString userId;
    QString password;
    QString company;
    QString firstName;
    QString lastName;
    QString email;
    QString phone;
    bool loggedIn = false;
    QStringList roles;
    bool groupsLoaded = false;
    int storageMode = NoStorage;
    QString storageUser;
    QString storageSessionToken;
    QString storagePassword;
    QString storageFolder;
    QDateTime storageTokenExpiry;
    QString storageAddress;
    QString storageBucket;
    qint64 created = 0;

    void clear() { *this = Zelt_LoginData(); }
    // Role names are compared exactly.
    bool hasRole(const QString &role) const { return roles.contains(role, Qt::CaseSensitive); }
    bool isPresenter() const { return hasRole(QStringLiteral("Zelt_Presenter")); }
    bool isAdministrator() const { return hasRole(QStringLiteral("Zelt_Administrator")); }
    // Temporary storage credentials are renewed when less than a minute of them is left.
    bool storageCredentialsDue(const QDateTime &now) const
    {
        return !storageSessionToken.isEmpty() && now.secsTo(storageTokenExpiry) < 60;
    }
};

Q_DECLARE_METATYPE(Zelt_LoginData)
