#include "PlatformService.h"

#include "AccountRules.h"
#include "JsonRules.h"
#include "RandomText.h"

#include <QUrl>

namespace VorelSim {

namespace {
const QString keyId = QStringLiteral("Id");
const QString keyUserId = QStringLiteral("UserId");
const QString keyName = QStringLiteral("Name");
const QString keyMode = QStringLiteral("Mode");
const QString keyUpdateUrl = QStringLiteral("UpdateUrl");
const QString globalBundleId = QStringLiteral("GLOBAL");

HttpReply okStatus(const QString &message)
{
    return jsonReply(QJsonObject{{QStringLiteral("code"), 200},
                                 {QStringLiteral("message"), message},
                                 {QStringLiteral("source"), PlatformService::source}});
}

bool modeWithin(const QJsonObject &object, int highest)
{
    const QJsonValue mode = object.value(keyMode);
    return mode.isDouble() && mode.toInt() >= 0 && mode.toInt() <= highest;
}
} // namespace

void PlatformService::addRoutes(Router &router, const QString &base)
{
    const QString svc = base + QStringLiteral("/zelt/svc");
    const auto route = [&router](const QByteArray &method, const QString &path,
                                 const QString &operation, auto member) {
        router.add(
            method, path, operation,
            [member](const HttpRequest &request, const QStringList &) { return member(request); });
    };
    route("GET", svc + QStringLiteral("/status"), QStringLiteral("serviceStatus"),
          [this](const HttpRequest &) { return status(); });
    route("GET", svc + QStringLiteral("/update"), QStringLiteral("serviceUpdate"),
          [this](const HttpRequest &request) { return reload(request); });
    route("GET", svc + QStringLiteral("/versions"), QStringLiteral("serviceVersions"),
          [this](const HttpRequest &) { return versions(); });
    route("GET", svc + QStringLiteral("/s3/token"), QStringLiteral("s3TempAccessKey"),
          [this](const HttpRequest &request) { return storageToken(request); });
    route("GET", svc + QStringLiteral("/logfile"), QStringLiteral("serviceLogfile"),
          [this](const HttpRequest &request) { return serviceLog(request); });
    route("GET", svc + QStringLiteral("/banlist"), QStringLiteral("banlistGet"),
          [this](const HttpRequest &request) { return banlist(request); });
    route("POST", svc + QStringLiteral("/banlist"), QStringLiteral("banlistPost"),
          [this](const HttpRequest &request) { return addBan(request); });
    route("DELETE", svc + QStringLiteral("/banlist"), QStringLiteral("banlistDelete"),
          [this](const HttpRequest &request) { return deleteBan(request); });
    route("GET", svc + QStringLiteral("/assetbundle"), QStringLiteral("assetBundleGet"),
          [this](const HttpRequest &request) { return bundles(request); });
    route("POST", svc + QStringLiteral("/assetbundle"), QStringLiteral("assetBundlePost"),
          [this](const HttpRequest &request) { return postBundle(request); });
    route("DELETE", svc + QStringLiteral("/assetbundle"), QStringLiteral("assetBundleDelete"),
          [this](const HttpRequest &request) { return deleteBundle(request); });
    router.add(
        "GET", downloadPath + QStringLiteral("/{}"), QStringLiteral("download"),
        [this](const HttpRequest &, const QStringList &params) { return download(params.at(0)); });
}

HttpReply PlatformService::status() const
{
    return okStatus(QStringLiteral("OK - Version v%1").arg(m_context.state.serviceVersion));
}

HttpReply PlatformService::reload(const HttpRequest &request)
{
    HttpReply denied;
    if (!m_context.authenticate(request, source, &denied))
        return denied;
    m_context.log(QStringLiteral("INFO"),
                  QStringLiteral("Meeting definitions reloaded (%1 meetings)")
                      .arg(m_context.state.meetings.size()));
    return okStatus(QStringLiteral("Meetings reloaded"));
}

HttpReply PlatformService::versions() const
{
    QJsonObject reply = m_context.state.versions;
    for (auto it = reply.begin(); it != reply.end(); ++it) {
        QJsonObject version = it.value().toObject();
        if (version.contains(keyUpdateUrl))
            version.insert(keyUpdateUrl, absoluteUrl(version.value(keyUpdateUrl).toString()));
        it.value() = version;
    }
    return jsonReply(reply);
}

HttpReply PlatformService::download(const QString &fileName) const
{
    const QString path = downloadPath + QLatin1Char('/') + fileName;
    for (const QJsonValue &value : m_context.state.versions) {
        const QJsonObject version = value.toObject();
        if (QUrl(version.value(keyUpdateUrl).toString()).path() != path)
            continue;
        QStringList numbers;
        for (const QJsonValue &number : version.value(QStringLiteral("Version")).toArray())
            numbers.append(QString::number(number.toInt()));
        const QString script =
            QStringLiteral("#!/bin/sh\n# Installer of %1 %2 (platform stand-in)\n"
                           "echo \"%1 %2 installed\"\n")
                .arg(version.value(keyName).toString(), numbers.join(QLatin1Char('.')));
        return {200, "application/octet-stream", script.toUtf8(), {}};
    }
    return errorReply(404, QStringLiteral("No such download: %1").arg(fileName), source);
}

HttpReply PlatformService::storageToken(const HttpRequest &request) const
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    const AccountRules::StorageProfile profile = AccountRules::storageOf(m_context.state, *caller);
    if (profile.mode != QLatin1String("S3") && profile.mode != QLatin1String("MINIO"))
        return errorReply(403, QStringLiteral("No object storage configured for this account"),
                          source);
    const SimulatorConfig &config = m_context.config;
    const QDateTime expiration = m_context.now().addSecs(config.storageTokenLifetime);
    return jsonReply(
        QJsonObject{{QStringLiteral("AccessKeyId"), config.s3Key},
                    {QStringLiteral("SecretAccessKey"), config.s3Secret},
                    {QStringLiteral("SessionToken"), RandomText::token(96)},
                    {QStringLiteral("AssumedRoleId"),
                     profile.folder.isEmpty() ? caller->userId : profile.folder},
                    {QStringLiteral("Arn"), profile.mode},
                    {QStringLiteral("Expiration"), expiration.toString(Qt::TextDate)},
                    {QStringLiteral("Bucket"), config.s3Bucket},
                    {QStringLiteral("Endpoint"),
                     profile.mode == QLatin1String("S3") ? config.s3Region : config.s3Endpoint}});
}

HttpReply PlatformService::serviceLog(const HttpRequest &request) const
{
    HttpReply error;
    const User *caller = m_context.authenticate(request, source, &error);
    if (!caller)
        return error;
    if (!caller->isAdministrator())
        return errorReply(403, QStringLiteral("Only administrators may read the service log"),
                          source);
    int count = 0;
    if (!ServiceContext::readLineCount(request, source, &count, &error))
        return error;
    return textReply(m_context.state.serviceLog.tail(count));
}

HttpReply PlatformService::banlist(const HttpRequest &request) const
{
    HttpReply denied;
    if (!m_context.authenticate(request, source, &denied))
        return denied;
    QJsonArray reply;
    for (const QJsonObject &entry : m_context.state.banlist)
        reply.append(entry);
    return jsonReply(reply);
}

HttpReply PlatformService::addBan(const HttpRequest &request)
{
    HttpReply error;
    const User *caller = m_context.authenticate(request, source, &error);
    if (!caller)
        return error;
    const auto body = JsonRules::readObject(request, JsonRules::banlistFields, source, &error);
    if (!body)
        return error;
    if (!modeWithin(*body, urlAssetMode))
        return errorReply(400, QStringLiteral("Banlist Mode must be 0 to 3"), source);
    const int mode = body->value(keyMode).toInt();
    const QString fileName = body->value(QStringLiteral("Filename")).toString();
    const QString checksum = body->value(QStringLiteral("Checksum")).toString();
    if (mode == urlAssetMode && checksum.isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: Checksum"), source);
    if (fileName.isEmpty() && checksum.isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: Filename or Checksum"),
                          source);
    for (const QJsonObject &entry : m_context.state.banlist) {
        if (entry.value(keyMode).toInt() == mode &&
            entry.value(QStringLiteral("Filename")) == fileName &&
            entry.value(QStringLiteral("Checksum")) == checksum)
            return textReply(QString::number(entry.value(keyId).toInt()));
    }
    const int id = m_context.state.nextBanlistId++;
    m_context.state.banlist.append(QJsonObject{{keyId, id},
                                               {keyMode, mode},
                                               {QStringLiteral("Filename"), fileName},
                                               {QStringLiteral("Checksum"), checksum}});
    m_context.log(
        QStringLiteral("INFO"),
        QStringLiteral("Banlist entry #%1 (%2) added by %3").arg(id).arg(fileName, caller->userId));
    return textReply(QString::number(id));
}

HttpReply PlatformService::deleteBan(const HttpRequest &request)
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    if (!caller->isAdministrator())
        return errorReply(403, QStringLiteral("Only administrators may delete banlist entries"),
                          source);
    bool ok = false;
    const int id = request.queryValue(QStringLiteral("banlistId")).toInt(&ok);
    if (!ok)
        return errorReply(400, QStringLiteral("Query parameter banlistId must be a number"),
                          source);
    QList<QJsonObject> &entries = m_context.state.banlist;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).value(keyId).toInt() == id) {
            entries.removeAt(i);
            m_context.log(
                QStringLiteral("INFO"),
                QStringLiteral("Banlist entry #%1 deleted by %2").arg(id).arg(caller->userId));
            return textReply(QString::number(id));
        }
    }
    return errorReply(404, QStringLiteral("Banlist entry %1 not found").arg(id), source);
}

HttpReply PlatformService::bundles(const HttpRequest &request) const
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    const QString bundleId = request.queryValue(QStringLiteral("bundleId"));
    QJsonArray reply;
    for (const QJsonObject &bundle : m_context.state.bundles) {
        const bool wanted = bundleId.isEmpty() || bundle.value(keyId).toString() == bundleId;
        if (wanted && maySeeBundle(*caller, bundle))
            reply.append(bundle);
    }
    if (!bundleId.isEmpty() && reply.isEmpty())
        return errorReply(404, QStringLiteral("Asset bundle not found: %1").arg(bundleId), source);
    return jsonReply(reply);
}

HttpReply PlatformService::postBundle(const HttpRequest &request)
{
    HttpReply error;
    const User *caller = m_context.authenticate(request, source, &error);
    if (!caller)
        return error;
    const auto body = JsonRules::readObject(request, JsonRules::bundleFields, source, &error);
    if (!body)
        return error;
    const QString name = body->value(keyName).toString().trimmed();
    if (name.isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: Name"), source);
    if (body->value(QStringLiteral("StgRelPath")).toString().isEmpty())
        return errorReply(400, QStringLiteral("Missing required field: StgRelPath"), source);
    if (!modeWithin(*body, 2))
        return errorReply(400, QStringLiteral("Asset bundle Mode must be 0 to 2"), source);

    const QString requestedId = body->value(keyId).toString();
    const bool create = requestedId.isEmpty() || requestedId == globalBundleId;
    QJsonObject bundle;
    if (create) {
        const bool global = requestedId == globalBundleId;
        if (global && !caller->isAdministrator())
            return errorReply(
                403, QStringLiteral("Only administrators may create global asset bundles"), source);
        bundle.insert(keyUserId, global ? QString() : caller->id);
        bundle.insert(QStringLiteral("UserName"), global ? QString() : caller->fullName());
    } else {
        const QJsonObject *existing = m_context.state.bundle(requestedId);
        if (!existing)
            return errorReply(404, QStringLiteral("Asset bundle not found: %1").arg(requestedId),
                              source);
        if (!mayChangeBundle(*caller, *existing))
            return errorReply(403, QStringLiteral("Not allowed to modify this asset bundle"),
                              source);
        bundle = *existing;
    }
    if (nameTaken(name, bundle.value(keyUserId).toString(), bundle.value(keyId).toString()))
        return errorReply(
            409, QStringLiteral("An asset bundle named '%1' already exists").arg(name), source);
    if (create)
        bundle.insert(keyId, QStringLiteral("AB-%1").arg(m_context.state.nextBundleNumber++));
    const QString id = bundle.value(keyId).toString();
    for (const char *member : {"Mode", "StgRelPath", "StgSize", "StgPreSgnPath", "StgChecksums"}) {
        if (body->contains(QLatin1String(member)))
            bundle.insert(QLatin1String(member), body->value(QLatin1String(member)));
    }
    bundle.insert(keyName, name);
    bool replaced = false;
    for (QJsonObject &stored : m_context.state.bundles) {
        if (stored.value(keyId).toString() == id) {
            stored = bundle;
            replaced = true;
        }
    }
    if (!replaced)
        m_context.state.bundles.append(bundle);
    m_context.log(
        QStringLiteral("INFO"),
        QStringLiteral("Asset bundle %1 (%2) stored by %3").arg(id, name, caller->userId));
    return textReply(id);
}

HttpReply PlatformService::deleteBundle(const HttpRequest &request)
{
    HttpReply denied;
    const User *caller = m_context.authenticate(request, source, &denied);
    if (!caller)
        return denied;
    const QString bundleId = request.queryValue(QStringLiteral("bundleId"));
    if (bundleId.isEmpty())
        return errorReply(400, QStringLiteral("Missing query parameter: bundleId"), source);
    const QJsonObject *bundle = m_context.state.bundle(bundleId);
    if (!bundle)
        return errorReply(404, QStringLiteral("Asset bundle not found: %1").arg(bundleId), source);
    if (!mayChangeBundle(*caller, *bundle))
        return errorReply(403, QStringLiteral("Not allowed to delete this asset bundle"), source);
    m_context.state.bundles.removeIf([&bundleId](const QJsonObject &stored) {
        return stored.value(keyId).toString() == bundleId;
    });
    for (Meeting &meeting : m_context.state.meetings)
        meeting.bundleIds.removeAll(bundleId);
    m_context.log(QStringLiteral("INFO"),
                  QStringLiteral("Asset bundle %1 deleted by %2").arg(bundleId, caller->userId));
    return textReply(bundleId);
}

bool PlatformService::maySeeBundle(const User &caller, const QJsonObject &bundle) const
{
    const QString owner = bundle.value(keyUserId).toString();
    return caller.isAdministrator() || owner.isEmpty() || owner == caller.id;
}

bool PlatformService::mayChangeBundle(const User &caller, const QJsonObject &bundle) const
{
    const QString owner = bundle.value(keyUserId).toString();
    return caller.isAdministrator() || (!owner.isEmpty() && owner == caller.id);
}

bool PlatformService::nameTaken(const QString &name, const QString &ownerId,
                                const QString &exceptId) const
{
    for (const QJsonObject &bundle : m_context.state.bundles) {
        if (bundle.value(keyId).toString() != exceptId &&
            bundle.value(keyUserId).toString() == ownerId &&
            bundle.value(keyName).toString().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString PlatformService::absoluteUrl(const QString &url) const
{
    return url.startsWith(QLatin1Char('/')) ? m_context.baseUrl + url : url;
}

} // namespace VorelSim
