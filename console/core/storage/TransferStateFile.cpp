#include "TransferStateFile.h"

#include "LogCategories.h"
#include "S3QueueEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>
#include <optional>

namespace {

const QString formatName = QStringLiteral("vorel-transfer-queue");
constexpr int formatVersion = 1;

// Names instead of enum values, so that a reordered enum does not change stored transfers.
const QStringList operationNames{QStringLiteral("upload"), QStringLiteral("download")};
const QStringList statusNames{QStringLiteral("queued"),   QStringLiteral("inProgress"),
                              QStringLiteral("paused"),   QStringLiteral("skipped"),
                              QStringLiteral("complete"), QStringLiteral("failed")};
static_assert(S3QueueEntry::Upload == 0 && S3QueueEntry::Download == 1);
static_assert(S3QueueEntry::Queued == 0 && S3QueueEntry::Failed == 5);

// JSON numbers are doubles: sizes go as decimal strings to stay exact above 2^53.
QString sizeText(qint64 size)
{
    return QString::number(size);
}

qint64 readSize(const QJsonObject &object, const QString &name, qint64 fallback, bool *ok)
{
    const QJsonValue value = object.value(name);
    if (value.isUndefined() || value.isNull())
        return fallback;
    bool valid = false;
    qint64 size = value.toString().toLongLong(&valid);
    if (value.isDouble()) {
        const double number = value.toDouble();
        valid = number == std::floor(number) && std::fabs(number) <= 9007199254740992.0;
        size = valid ? qint64(number) : 0;
    }
    if (!valid)
        *ok = false;
    return size;
}

QString timeText(const QDateTime &time)
{
    if (!time.isValid())
        return {};
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QDateTime readTime(const QJsonObject &object, const QString &name, bool *ok)
{
    const QString text = object.value(name).toString();
    if (text.isEmpty())
        return {};
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid())
        *ok = false;
    return time;
}

QJsonObject toJson(const StoredTransfer &transfer)
{
    QJsonObject object{{"id", transfer.id},
                       {"operation", operationNames.at(transfer.operation)},
                       {"status", statusNames.value(transfer.status, statusNames.first())},
                       {"target", QJsonObject{{"type", transfer.target.type},
                                              {"url", transfer.target.url},
                                              {"bucket", transfer.target.bucket},
                                              {"rootFolder", transfer.target.rootFolder}}},
                       {"owner", transfer.owner},
                       {"key", transfer.key},
                       {"local", transfer.local},
                       {"size", sizeText(transfer.size)},
                       {"reason", transfer.reason}};
    if (transfer.operation == S3QueueEntry::Upload) {
        QJsonArray parts;
        for (const StoredPart &part : transfer.parts)
            parts.append(QJsonObject{
                {"number", part.number}, {"size", sizeText(part.size)}, {"eTag", part.eTag}});
        object.insert("upload", QJsonObject{{"uploadId", transfer.uploadId},
                                            {"contentType", transfer.contentType},
                                            {"partSize", sizeText(transfer.partSize)},
                                            {"parts", parts},
                                            {"fileSize", sizeText(transfer.fileSize)},
                                            {"fileModified", timeText(transfer.fileModified)}});
    } else {
        object.insert("download", QJsonObject{{"eTag", transfer.eTag},
                                              {"lastModified", timeText(transfer.lastModified)},
                                              {"downloaded", sizeText(transfer.downloaded)}});
    }
    return object;
}

std::optional<StoredTransfer> fromJson(const QJsonObject &object, QString *problem)
{
    StoredTransfer transfer;
    transfer.id = object.value("id").toString();
    transfer.key = object.value("key").toString();
    transfer.local = object.value("local").toString();
    const QJsonObject target = object.value("target").toObject();
    transfer.target = {target.value("type").toInt(1), target.value("url").toString(),
                       target.value("bucket").toString(), target.value("rootFolder").toString()};
    if (transfer.id.isEmpty() || transfer.key.isEmpty() || transfer.local.isEmpty() ||
        transfer.target.bucket.isEmpty()) {
        *problem = QStringLiteral("id, key, local file or bucket missing");
        return std::nullopt;
    }
    transfer.operation = operationNames.indexOf(object.value("operation").toString());
    transfer.status = statusNames.indexOf(object.value("status").toString());
    if (transfer.operation < 0 || transfer.status < 0) {
        *problem = QStringLiteral("unknown operation or status");
        return std::nullopt;
    }
    transfer.owner = object.value("owner").toString();
    transfer.reason = object.value("reason").toString();

    bool ok = true;
    transfer.size = readSize(object, "size", 0, &ok);
    if (transfer.operation == S3QueueEntry::Upload) {
        const QJsonObject upload = object.value("upload").toObject();
        transfer.uploadId = upload.value("uploadId").toString();
        transfer.contentType = upload.value("contentType").toString();
        transfer.partSize = readSize(upload, "partSize", 0, &ok);
        transfer.fileSize = readSize(upload, "fileSize", -1, &ok);
        transfer.fileModified = readTime(upload, "fileModified", &ok);
        for (const QJsonValue &value : upload.value("parts").toArray()) {
            const QJsonObject part = value.toObject();
            StoredPart stored{part.value("number").toInt(), readSize(part, "size", 0, &ok),
                              part.value("eTag").toString()};
            ok = ok && stored.number > 0;
            transfer.parts.append(stored);
        }
    } else {
        const QJsonObject download = object.value("download").toObject();
        transfer.eTag = download.value("eTag").toString();
        transfer.lastModified = readTime(download, "lastModified", &ok);
        transfer.downloaded = readSize(download, "downloaded", -1, &ok);
    }
    if (!ok) {
        *problem = QStringLiteral("unreadable size, time or part");
        return std::nullopt;
    }
    return transfer;
}

} // namespace

TransferStateFile::TransferStateFile(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral("transfers.json"))), m_lock(m_path + ".lock")
{
    QDir().mkpath(folder);
    // Only a lock of a process that is gone is stale; a console may run for days.
    m_lock.setStaleLockTime(0);
}

TransferStateFile::~TransferStateFile() = default;

bool TransferStateFile::lock(QString *why)
{
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString application;
    QString text;
    if (m_lock.error() == QLockFile::LockFailedError &&
        m_lock.getLockInfo(&pid, &host, &application))
        text =
            tr("The transfer queue is in use by another console of this user (process %1 on %2).")
                .arg(pid)
                .arg(host);
    else
        text = tr("The transfer queue cannot be locked in %1.")
                   .arg(QDir::toNativeSeparators(QFileInfo(m_path).path()));
    qCWarning(lcSrv).noquote() << text;
    if (why)
        *why = text;
    return false;
}

QList<StoredTransfer> TransferStateFile::load()
{
    QFile file(m_path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSrv).noquote()
            << "Transfer queue" << m_path << "cannot be read:" << file.errorString();
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    const QJsonObject top = document.object();
    QString problem;
    if (error.error != QJsonParseError::NoError)
        problem = error.errorString();
    else if (top.value("format").toString() != formatName)
        problem = QStringLiteral("not a transfer queue");
    else if (top.value("version").toInt(-1) != formatVersion)
        problem = QStringLiteral("version %1").arg(top.value("version").toVariant().toString());
    else if (!top.value("transfers").isArray())
        problem = QStringLiteral("no transfer list");
    if (!problem.isEmpty()) {
        setAside(problem);
        return {};
    }

    QList<StoredTransfer> transfers;
    const QJsonArray list = top.value("transfers").toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (const auto transfer = fromJson(list.at(i).toObject(), &problem))
            transfers.append(*transfer);
        else
            qCWarning(lcSrv).noquote()
                << "Transfer queue" << m_path << "entry" << i << "skipped:" << problem;
    }
    return transfers;
}

bool TransferStateFile::save(const QList<StoredTransfer> &transfers, QString *why)
{
    QJsonArray list;
    for (const StoredTransfer &transfer : transfers) {
        // Deletes and size queries are cheap to ask for again and are not kept.
        if (transfer.operation == S3QueueEntry::Upload ||
            transfer.operation == S3QueueEntry::Download)
            list.append(toJson(transfer));
    }
    const QByteArray content =
        QJsonDocument(
            QJsonObject{{"format", formatName}, {"version", formatVersion}, {"transfers", list}})
            .toJson();
    // Written beside the file and renamed over it, so a crash leaves the old or the new list.
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly) &&
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
        file.write(content) == content.size() && file.commit())
        return true;
    const QString text = tr("The transfer queue cannot be saved to %1: %2")
                             .arg(QDir::toNativeSeparators(m_path), file.errorString());
    qCWarning(lcSrv).noquote() << text;
    if (why)
        *why = text;
    return false;
}

QString TransferStateFile::path() const
{
    return m_path;
}

void TransferStateFile::setAside(const QString &problem)
{
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
    QString target = QStringLiteral("%1.%2.bad").arg(m_path, stamp);
    for (int n = 2; QFile::exists(target); ++n)
        target = QStringLiteral("%1.%2-%3.bad").arg(m_path, stamp).arg(n);
    const bool moved = QFile::rename(m_path, target);
    qCWarning(lcSrv).noquote() << "Transfer queue" << m_path
                               << QStringLiteral("is unusable (%1),").arg(problem)
                               << (moved ? "set aside as " + target : QStringLiteral("kept"));
}
