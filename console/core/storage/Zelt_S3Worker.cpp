#include "Zelt_S3Worker.h"

#include "S3ContentType.h"
#include "TransferRetry.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QElapsedTimer>
#include <QMutexLocker>
#include <QRandomGenerator>

using Brenn_AWS::MPInfo;
using Brenn_AWS::ObjectInfo;
using Brenn_AWS::Storage_S3;

Zelt_S3Worker::Zelt_S3Worker(QObject *parent)
    : QObject(parent), notInitialized(22, QStringLiteral("Not Initialized"),
                                      QStringLiteral("S3 Not initialized. Call Setup first."))
{
    qRegisterMetaType<QAWSException>();
    qRegisterMetaType<S3Target>();
}

Zelt_S3Worker::~Zelt_S3Worker() = default;

namespace {
// Raises value to ticket unless it is there already.
void raiseTo(std::atomic<quint64> &value, quint64 ticket)
{
    quint64 seen = value.load();
    while (seen < ticket && !value.compare_exchange_weak(seen, ticket)) {
    }
}
} // namespace

namespace {
std::atomic<int> transferConcurrency{4};
}

void Zelt_S3Worker::setTransferConcurrency(int parts)
{
    transferConcurrency = parts;
}

Storage_S3 *Zelt_S3Worker::storageFor(const S3Target &target)
{
    Credentials latest;
    {
        QMutexLocker lock(&credentialsMutex);
        const auto known = credentials.constFind({target.type, target.url});
        if (known == credentials.cend())
            return nullptr;
        latest = *known;
    }
    if (!storage || !storageService.sameService(target)) {
        storage =
            std::make_unique<Storage_S3>(target.type == 2 ? Brenn_AWS::AWS : Brenn_AWS::MinIO,
                                         target.url, latest.user, latest.pass, latest.sessionToken);
        storageService = target;
    } else if (latest.revision != storageRevision) {
        storage->UpdateCredentials(latest.user, latest.pass, latest.sessionToken);
    }
    storageRevision = latest.revision;
    storage->SetTransferConcurrency(transferConcurrency.load());
    return storage.get();
}

void Zelt_S3Worker::doSetup(int type, QString url, QString user, QString pass, QString sessiontoken)
{
    storage.reset();
    uploadActive = downloadActive = false;
    browsed = S3Target{type, url, QString(), QString()};
    doUpdateCredentials(type, url, user, pass, sessiontoken);
    storageFor(browsed);
    emit setupFinished();
}

void Zelt_S3Worker::doListObjects(QString bucket, QString pathPrefix)
{
    Storage_S3 *s3 = storageFor(browsed);
    if (!s3) {
        emit listFailed(notInitialized);
        return;
    }
    try {
        QStringList keys;
        s3->ListObjects(bucket, pathPrefix, keys);
        emit listFinished(keys);
    } catch (const QAWSException &ex) {
        emit listFailed(ex);
    }
}

void Zelt_S3Worker::doListObjectsAndSizes(QString bucket, QString pathPrefix, bool doSubDirs)
{
    Storage_S3 *s3 = storageFor(browsed);
    if (!s3) {
        emit listSizesFailed(notInitialized);
        return;
    }
    try {
        QStringList keys;
        QList<ObjectInfo> infos;
        s3->ListObjectsWithInfo(bucket, pathPrefix, keys, infos);
        // Folder markers and, without subfolders, keys below the prefix's own level are
        // reported without size, as if no HEAD had been asked for them.
        const qsizetype depth = pathPrefix.count(QLatin1Char('/'));
        QStringList sizes;
        QStringList eTags;
        sizes.reserve(keys.size());
        eTags.reserve(keys.size());
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QString &key = keys.at(i);
            if (key.endsWith(QLatin1Char('/')) ||
                (!doSubDirs && key.count(QLatin1Char('/')) != depth)) {
                sizes << QStringLiteral("0");
                eTags << QStringLiteral("NONE");
            } else {
                sizes << QString::number(infos.at(i).size);
                eTags << infos.at(i).eTag;
            }
        }
        emit listSizesFinished(keys, sizes, eTags);
    } catch (const QAWSException &ex) {
        emit listSizesFailed(ex);
    }
}

void Zelt_S3Worker::doDownload(S3Target target, QString key, QString path, quint64 ticket)
{
    startTransfer(DownloadKind, target, key, path, ticket);
}

void Zelt_S3Worker::doUpload(S3Target target, QString key, QString path, quint64 ticket)
{
    startTransfer(UploadKind, target, key, path, ticket);
}

void Zelt_S3Worker::doContinueUpload(S3Target target, QString key, QString path, quint64 ticket,
                                     Brenn_AWS::UploadState state)
{
    startTransfer(UploadKind, target, key, path, ticket, [&](Storage_S3 &s3) {
        try {
            s3.ContinueUploadObjectMultipart(state);
        } catch (const QAWSException &ex) {
            // A passing failure leaves the stored upload for a later try.
            if (ex.transient)
                throw;
            if (ex.name == QLatin1String("NoSuchUpload")) {
                emit transferStartedOver(ticket, tr("The server no longer holds the interrupted "
                                                    "upload; the upload started over."));
                return;
            }
            // A server that cannot tell its parts gets the whole file anew; its old upload ends.
            doAbortMultipartUpload(target, key, state.uploadId);
            emit transferStartedOver(
                ticket, tr("The interrupted upload could not be continued (%1); the upload "
                           "started over.")
                            .arg(ex.message));
        }
    });
}

void Zelt_S3Worker::doContinueDownload(S3Target target, QString key, QString path, quint64 ticket,
                                       Brenn_AWS::DownloadState state)
{
    startTransfer(DownloadKind, target, key, path, ticket,
                  [&](Storage_S3 &s3) { s3.ContinueDownloadObjectMultipart(state); });
}

void Zelt_S3Worker::doAbortMultipartUpload(S3Target target, QString key, QString uploadId)
{
    Storage_S3 *s3 = storageFor(target);
    if (!s3)
        return;
    try {
        s3->AbortMultipartUpload(target.bucket, key, uploadId);
    } catch (const QAWSException &) {
        // Already gone from the server, or it cannot be reached: nothing more to do here.
    }
}

void Zelt_S3Worker::doListUnfinishedUploads(S3Target target, QStringList knownUploadIds)
{
    Storage_S3 *s3 = storageFor(target);
    if (!s3) {
        emit unfinishedUploadsFailed(notInitialized);
        return;
    }
    try {
        QList<UnfinishedUpload> unfinished;
        for (const Brenn_AWS::MultipartUploadInfo &upload :
             s3->ListMultipartUploads(target.bucket, target.rootFolder)) {
            if (knownUploadIds.contains(upload.uploadId))
                continue;
            qint64 size = 0;
            for (const Brenn_AWS::PartInfo &part :
                 s3->ListParts(target.bucket, upload.key, upload.uploadId))
                size += part.size;
            unfinished.append({upload.key, upload.uploadId, upload.initiated, size});
        }
        emit unfinishedUploadsListed(unfinished);
    } catch (const QAWSException &ex) {
        emit unfinishedUploadsFailed(ex);
    }
}

void Zelt_S3Worker::startTransfer(Kind kind, const S3Target &target, const QString &key,
                                  const QString &path, quint64 ticket,
                                  const std::function<void(Brenn_AWS::Storage_S3 &)> &prepare)
{
    // Aborted before it began: nothing to undo, and the abort's own call reports the end.
    if (abortedThrough >= ticket)
        return;
    Storage_S3 *s3 = storageFor(target);
    if (!s3) {
        emitFailure(kind, notInitialized);
        return;
    }
    transferTarget = target;
    transferKey = key;
    transferPath = path;
    if (prepare) {
        try {
            prepare(*s3);
        } catch (const QAWSException &ex) {
            emitFailure(kind, ex);
            return;
        }
    }
    runTransfer(kind, ticket);
}

void Zelt_S3Worker::emitFailure(Kind kind, const QAWSException &ex)
{
    if (kind == UploadKind)
        emit uploadFailed(ex);
    else
        emit downloadFailed(ex);
}

void Zelt_S3Worker::doResume(quint64 ticket)
{
    // An abort that came after the pause wins; its queued half ends the stored transfer.
    const Kind kind = Kind(currentKind);
    if (abortedThrough < ticket && kind != NoTransfer && activeFlag(kind))
        runTransfer(kind, ticket);
}

MPInfo Zelt_S3Worker::nextChunk(Kind kind)
{
    Storage_S3 *s3 = storageFor(transferTarget);
    if (!s3)
        throw notInitialized;
    if (kind == UploadKind)
        return s3->UploadObjectMultipart(transferTarget.bucket, transferKey, transferPath,
                                         S3ContentType::forPath(transferPath));
    return s3->DownloadObjectMultipart(transferTarget.bucket, transferKey, transferPath);
}

std::optional<MPInfo> Zelt_S3Worker::chunkWithRetries(Kind kind)
{
    QElapsedTimer outage;
    for (int retry = 1;; ++retry) {
        int pauseMs = 0;
        try {
            MPInfo chunk = nextChunk(kind);
            if (outage.isValid())
                emit transferWaiting(false, QString());
            return chunk;
        } catch (const QAWSException &ex) {
            if (!ex.transient)
                throw;
            if (retry <= TransferRetry::MaxRetries) {
                emit transferRetry(retry, TransferRetry::MaxRetries, ex.message);
                pauseMs =
                    TransferRetry::delayMs(retry, QRandomGenerator::global()->generateDouble());
            } else {
                // Without a connection the transfer waits for one to come back, for a while.
                if (ex.code != TransferRetry::NoConnectionCode)
                    throw;
                if (!outage.isValid())
                    outage.start();
                pauseMs = TransferRetry::outagePauseMs(retry - TransferRetry::MaxRetries);
                if (outage.elapsed() + pauseMs > TransferRetry::OutageLimitMs)
                    throw;
                emit transferWaiting(true, ex.message);
            }
        }
        if (!waitUninterrupted(pauseMs))
            return std::nullopt;
    }
}

bool Zelt_S3Worker::waitUninterrupted(int milliseconds)
{
    std::unique_lock<std::mutex> lock(waitMutex);
    return !waitCondition.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                   [this] { return aborted() || paused(); });
}

void Zelt_S3Worker::wakeWaits()
{
    // Taking the lock makes sure a wait that is about to begin sees the flag.
    {
        const std::lock_guard<std::mutex> lock(waitMutex);
    }
    waitCondition.notify_all();
}

void Zelt_S3Worker::runTransfer(Kind kind, quint64 ticket)
{
    currentKind = kind;
    transferTicket = ticket;
    const int mode = kind == UploadKind ? 0 : 1;
    const QString &bucket = transferTarget.bucket;
    bool &active = activeFlag(kind);
    if (!active)
        emit transferProgress(mode, bucket, transferKey, 0, 0, 0);
    active = true;

    // Paused before it began, the transfer stays paused before its first chunk.
    MPInfo info;
    bool moved = false;
    try {
        while (!info.finished && !aborted() && !paused()) {
            std::optional<MPInfo> chunk;
            try {
                chunk = chunkWithRetries(kind);
            } catch (const QAWSException &ex) {
                // The object changed under a download: the library has dropped the partial file,
                // and the next chunk begins the new object.
                if (kind != DownloadKind || ex.name != QLatin1String("PreconditionFailed"))
                    throw;
                emit transferStartedOver(ticket, tr("The object changed on the server; the "
                                                    "download started over."));
                continue;
            }
            if (!chunk)
                break;
            info = *chunk;
            moved = true;
            publishState(kind, ticket);
            emit transferProgress(mode, bucket, transferKey, info.size, info.transferred,
                                  paused() ? 0 : info.bytesPerSecond);
        }
    } catch (const QAWSException &ex) {
        // A passing failure leaves the upload open on the server for a retry; given up, it
        // must not stay there.
        if (kind == UploadKind && ex.transient)
            abortQuietly(kind);
        active = false;
        emitFailure(kind, ex);
        return;
    }

    if (info.finished) {
        active = false;
        if (kind == UploadKind)
            emit uploadFinished(transferKey, info.size, info.eTag);
        else
            emit downloadFinished();
    } else if (aborted()) {
        abortInLibrary(kind);
    } else if (moved) {
        emit transferProgress(mode, bucket, transferKey, info.size, info.transferred, 0);
    }
}

void Zelt_S3Worker::publishState(Kind kind, quint64 ticket)
{
    Storage_S3 *s3 = storageFor(transferTarget);
    if (!s3)
        return;
    if (kind == UploadKind)
        emit uploadState(ticket, s3->UploadObjectMultipartState());
    else
        emit downloadState(ticket, s3->DownloadObjectMultipartState());
}

void Zelt_S3Worker::abortQuietly(Kind kind)
{
    Storage_S3 *s3 = storageFor(transferTarget);
    if (!s3)
        return;
    try {
        if (kind == UploadKind)
            s3->AbortUploadObjectMultipart();
        else
            s3->AbortDownloadObjectMultipart();
    } catch (const QAWSException &) {
        // The server may already have forgotten the upload; there is nothing left to undo.
    }
}

void Zelt_S3Worker::abortInLibrary(Kind kind)
{
    abortQuietly(kind);
    activeFlag(kind) = false;
    emit transferProgress(-1, QString(), QString(), 0, 0, 0);
}

void Zelt_S3Worker::doDelete(S3Target target, QString key)
{
    Storage_S3 *s3 = storageFor(target);
    if (!s3) {
        emit deleteFailed(notInitialized);
        return;
    }
    try {
        s3->DeleteObject(target.bucket, key);
        emit deleteFinished();
    } catch (const QAWSException &ex) {
        emit deleteFailed(ex);
    }
}

void Zelt_S3Worker::doGetFileSize(QString bucket, QString key)
{
    Storage_S3 *s3 = storageFor(browsed);
    if (!s3) {
        emit fileSizeFailed(bucket, key, notInitialized);
        return;
    }
    try {
        emit fileSizeFinished(bucket, key, s3->GetObjectSize(bucket, key));
    } catch (const QAWSException &ex) {
        emit fileSizeFailed(bucket, key, ex);
    }
}

void Zelt_S3Worker::doPause(quint64 ticket)
{
    raiseTo(pausedThrough, ticket);
    wakeWaits();
}

void Zelt_S3Worker::doAbort(quint64 ticket)
{
    raiseTo(abortedThrough, ticket);
    wakeWaits();
    // A running loop aborts after its chunk; a paused transfer is aborted by the worker's thread
    // as soon as it is free.
    QMetaObject::invokeMethod(this, &Zelt_S3Worker::abortStoredTransfer, Qt::QueuedConnection);
}

void Zelt_S3Worker::abortStoredTransfer()
{
    const Kind kind = Kind(currentKind);
    if (kind != NoTransfer && activeFlag(kind) && aborted())
        abortInLibrary(kind);
    else
        emit transferProgress(-1, QString(), QString(), 0, 0, 0);
    emit abortFinished();
}

void Zelt_S3Worker::doUpdateCredentials(qint32 type, QString url, QString user, QString pass,
                                        QString sessiontoken)
{
    QMutexLocker lock(&credentialsMutex);
    credentials.insert({type, url}, Credentials{user, pass, sessiontoken, ++credentialRevisions});
}
