#include "CredentialSources.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace Brenn_AWS::aws {

namespace {

std::optional<Credentials> fromEnvironment()
{
    Credentials credentials{qEnvironmentVariable("AWS_ACCESS_KEY_ID"),
                            qEnvironmentVariable("AWS_SECRET_ACCESS_KEY"),
                            qEnvironmentVariable("AWS_SESSION_TOKEN")};
    if (credentials.accessKeyId.isEmpty() || credentials.secretKey.isEmpty())
        return std::nullopt;
    return credentials;
}

// The "key = value" lines of one [profile] section of an ini-style file.
QHash<QString, QString> profileSection(const QString &path, const QString &profile)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    bool inProfile = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inProfile = line.mid(1, line.size() - 2).trimmed() == profile;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inProfile && equals > 0 && !line.startsWith(QLatin1Char('#')) &&
            !line.startsWith(QLatin1Char(';')))
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

std::optional<Credentials> fromSharedFile()
{
    QString path = qEnvironmentVariable("AWS_SHARED_CREDENTIALS_FILE");
    if (path.isEmpty())
        path = QDir::homePath() + QLatin1String("/.aws/credentials");
    QString profile = qEnvironmentVariable("AWS_PROFILE");
    if (profile.isEmpty())
        profile = QStringLiteral("default");
    const QHash<QString, QString> section = profileSection(path, profile);
    Credentials credentials{section.value(QStringLiteral("aws_access_key_id")),
                            section.value(QStringLiteral("aws_secret_access_key")),
                            section.value(QStringLiteral("aws_session_token"))};
    if (credentials.accessKeyId.isEmpty() || credentials.secretKey.isEmpty())
        return std::nullopt;
    return credentials;
}

} // namespace

std::optional<Credentials> defaultCredentials()
{
    if (auto credentials = fromEnvironment())
        return credentials;
    return fromSharedFile();
}

} // namespace Brenn_AWS::aws
