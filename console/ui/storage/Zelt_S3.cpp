#include "Zelt_S3.h"
#include "ui_Zelt_S3.h"

#include "LocalUploads.h"
#include "ProgramExit.h"
#include "Prompt.h"
#include "S3FolderTree.h"
#include "S3Paths.h"
#include "S3TransferQueue.h"
#include "SizeText.h"
#include "TransferJournal.h"
#include "Zelt_LoginData.h"
#include "Zelt_S3Worker.h"
#include "Zelt_UnfinishedUploadsDialog.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QMimeData>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>
#include <QThread>
#include <QTreeWidgetItemIterator>

#include <array>
#include <limits>
#include <utility>

namespace {
// Under column 1 of a tree item: its folder path; under column 0: its files.
constexpr int PathColumn = 1;
constexpr int FilesColumn = 0;

QJsonArray filesOf(const QTreeWidgetItem *item)
{
    return item->data(FilesColumn, Qt::UserRole).toJsonArray();
}
QString pathOf(const QTreeWidgetItem *item)
{
    return item->data(PathColumn, Qt::UserRole).toString();
}
} // namespace

Zelt_S3::Zelt_S3(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::Zelt_S3Class>())
{
    ui->setupUi(this);
    ui->btnS3Unfinished->setEnabled(false); // until a listing names the storage
    showLoginFields(false);
    ui->btnS3BanFile->hide();
    ui->btnPause->setEnabled(false);
    ui->btnAbort->setEnabled(false);
    ui->btnS3Upload->setEnabled(false);
    ui->btnS3Mkdir->setEnabled(false);
    setDeleteEnabled(false);
    ui->S3TableWidget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->S3TableWidget->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    // 50 pixels, or what the widest size text needs in the font in use.
    ui->S3TableWidget->setColumnWidth(
        1, qMax(50, ui->S3TableWidget->fontMetrics().horizontalAdvance(QStringLiteral("1023 MB")) +
                        12));
    connect(ui->leS3Pass, &QLineEdit::returnPressed, ui->btnS3Refresh, &QToolButton::click);
    new QShortcut(QKeySequence(Qt::Key_F5), this, ui->btnS3Refresh, &QToolButton::click,
                  Qt::WidgetWithChildrenShortcut);
    showPaused(false);

    // Files and folders dropped from the desktop upload into the folder they land on.
    for (QWidget *target : {ui->S3TreeWidget->viewport(), ui->S3TableWidget->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }

    queue = new S3TransferQueue(this);
    connectQueue();
    startWorker();
}

Zelt_S3::~Zelt_S3()
{
    // Kept on disk, a running transfer stops after its chunk and goes on in a later run;
    // otherwise it is aborted, so that no multipart upload stays open on the server. The
    // worker's thread finishes either before it ends.
    if (!queue->isIdle()) {
        if (journal && journal->isKept())
            worker->doPause(std::numeric_limits<quint64>::max());
        else
            worker->doAbort(std::numeric_limits<quint64>::max());
        QMetaObject::invokeMethod(
            worker, [] {}, Qt::BlockingQueuedConnection);
    }
    workerThread->quit();
    workerThread->wait();
}

void Zelt_S3::startWorker()
{
    worker = new Zelt_S3Worker;
    workerThread = new QThread(this);
    worker->moveToThread(workerThread);
    connect(workerThread, &QThread::finished, worker, &QObject::deleteLater);

    connect(this, &Zelt_S3::doSetup, worker, &Zelt_S3Worker::doSetup);
    connect(this, &Zelt_S3::doListObjectsAndSizes, worker, &Zelt_S3Worker::doListObjectsAndSizes);
    connect(this, &Zelt_S3::doUpload, worker, &Zelt_S3Worker::doUpload);
    connect(this, &Zelt_S3::doDownload, worker, &Zelt_S3Worker::doDownload);
    connect(this, &Zelt_S3::doResume, worker, &Zelt_S3Worker::doResume);
    connect(this, &Zelt_S3::doDelete, worker, &Zelt_S3Worker::doDelete);
    // These reach a running transfer directly; the worker makes them thread-safe.
    connect(this, &Zelt_S3::doPause, worker, &Zelt_S3Worker::doPause, Qt::DirectConnection);
    connect(this, &Zelt_S3::doAbort, worker, &Zelt_S3Worker::doAbort, Qt::DirectConnection);
    connect(this, &Zelt_S3::doUpdateCredentials, worker, &Zelt_S3Worker::doUpdateCredentials,
            Qt::DirectConnection);

    connect(worker, &Zelt_S3Worker::setupFinished, this, &Zelt_S3::onSetupFinished);
    connect(worker, &Zelt_S3Worker::setupFailed, this, &Zelt_S3::onSetupFailed);
    connect(worker, &Zelt_S3Worker::listSizesFinished, this, &Zelt_S3::onListSizesFinished);
    connect(worker, &Zelt_S3Worker::listSizesFailed, this, &Zelt_S3::onListSizesFailed);
    connect(worker, &Zelt_S3Worker::transferProgress, this, &Zelt_S3::transferProgress);
    connect(worker, &Zelt_S3Worker::transferRetry, this, &Zelt_S3::transferRetry);
    connect(worker, &Zelt_S3Worker::uploadFinished, queue, &S3TransferQueue::onUploadFinished);
    connect(worker, &Zelt_S3Worker::uploadFailed, queue, &S3TransferQueue::onUploadFailed);
    connect(worker, &Zelt_S3Worker::transferWaiting, queue, &S3TransferQueue::onTransferWaiting);
    connect(worker, &Zelt_S3Worker::uploadState, queue, &S3TransferQueue::onUploadState);
    connect(worker, &Zelt_S3Worker::downloadState, queue, &S3TransferQueue::onDownloadState);
    connect(worker, &Zelt_S3Worker::transferStartedOver, queue, &S3TransferQueue::onStartedOver);
    connect(queue, &S3TransferQueue::doContinueUpload, worker, &Zelt_S3Worker::doContinueUpload);
    connect(queue, &S3TransferQueue::doContinueDownload, worker,
            &Zelt_S3Worker::doContinueDownload);
    connect(queue, &S3TransferQueue::doAbortMultipartUpload, worker,
            &Zelt_S3Worker::doAbortMultipartUpload);
    connect(this, &Zelt_S3::doAbortMultipartUpload, worker, &Zelt_S3Worker::doAbortMultipartUpload);
    connect(this, &Zelt_S3::doListUnfinishedUploads, worker,
            &Zelt_S3Worker::doListUnfinishedUploads);
    connect(worker, &Zelt_S3Worker::downloadFinished, queue, &S3TransferQueue::onDownloadFinished);
    connect(worker, &Zelt_S3Worker::downloadFailed, queue, &S3TransferQueue::onDownloadFailed);
    connect(worker, &Zelt_S3Worker::deleteFinished, queue, &S3TransferQueue::onDeleteFinished);
    connect(worker, &Zelt_S3Worker::deleteFailed, queue, &S3TransferQueue::onDeleteFailed);
    connect(worker, &Zelt_S3Worker::abortFinished, queue, &S3TransferQueue::onAbortFinished);
    workerThread->start(QThread::InheritPriority);
}

void Zelt_S3::connectQueue()
{
    connect(queue, &S3TransferQueue::doUpload, this, &Zelt_S3::doUpload);
    connect(queue, &S3TransferQueue::doDownload, this, &Zelt_S3::doDownload);
    connect(queue, &S3TransferQueue::doResume, this, &Zelt_S3::doResume);
    connect(queue, &S3TransferQueue::doDelete, this, &Zelt_S3::doDelete);
    connect(queue, &S3TransferQueue::doPause, this, &Zelt_S3::doPause);
    connect(queue, &S3TransferQueue::doAbort, this, &Zelt_S3::doAbort);
    connect(queue, &S3TransferQueue::transferProgress, this, &Zelt_S3::transferProgress);
    connect(queue, &S3TransferQueue::updateQueue, this, &Zelt_S3::updateQueue);
    connect(queue, &S3TransferQueue::startUploadDownload, this, &Zelt_S3::startUploadDownload);
    connect(queue, &S3TransferQueue::betweenUploadDownloads, this,
            &Zelt_S3::betweenUploadDownloads);
    connect(queue, &S3TransferQueue::endUploadDownload, this, &Zelt_S3::endUploadDownload);
    connect(queue, &S3TransferQueue::uploadsFinished, this, &Zelt_S3::uploadsFinished);
    connect(queue, &S3TransferQueue::uploadFailed, this, &Zelt_S3::uploadFailed);
    connect(queue, &S3TransferQueue::uploaded, this, &Zelt_S3::onUploaded);
    connect(queue, &S3TransferQueue::deleted, this, &Zelt_S3::onDeleted);
    connect(queue, &S3TransferQueue::controlsChanged, this, [this](bool enabled, bool paused) {
        ui->btnPause->setEnabled(enabled);
        ui->btnAbort->setEnabled(enabled);
        showPaused(paused);
    });
    connect(queue, &S3TransferQueue::idle, this, [this] {
        if (std::exchange(refreshPending, false))
            on_btnS3Refresh_clicked();
    });
}

void Zelt_S3::setConfig(Zelt_LoginData *data)
{
    config = data;
    if (config && !config->userId.isEmpty())
        keepTransfersOf(config->userId);
    serviceStorage = config && (config->storageMode == Zelt_LoginData::MinIO ||
                                config->storageMode == Zelt_LoginData::AmazonS3);
    showLoginFields(!serviceStorage);
    if (serviceStorage) {
        ui->leS3Url->setText(config->storageAddress);
        ui->leS3User->setText(config->storageUser);
        ui->leS3Pass->setText(config->storagePassword);
        ui->btnS3BanFile->setVisible(config->isAdministrator());
    } else {
        ui->spacerTools->changeSize(0, 0);
        ui->horizontalLayoutTools->invalidate();
    }
}

void Zelt_S3::on_btnS3Unfinished_clicked()
{
    // Those the kept transfers go on with are not unfinished: they wait for their turn.
    const QStringList known = journal ? journal->knownUploadIds() : QStringList();
    const S3Target target = shown;
    Zelt_UnfinishedUploadsDialog dialog(this);
    connect(worker, &Zelt_S3Worker::unfinishedUploadsListed, &dialog,
            &Zelt_UnfinishedUploadsDialog::showUploads);
    connect(worker, &Zelt_S3Worker::unfinishedUploadsFailed, &dialog,
            [&dialog](const QAWSException &ex) { dialog.showFailure(ex.message); });
    connect(&dialog, &Zelt_UnfinishedUploadsDialog::abortChosen, this,
            [this, target, known](const QList<UnfinishedUpload> &uploads) {
                for (const UnfinishedUpload &upload : uploads)
                    emit doAbortMultipartUpload(target, upload.key, upload.uploadId);
                emit doListUnfinishedUploads(target, known);
            });
    emit doListUnfinishedUploads(target, known);
    dialog.exec();
}

void Zelt_S3::keepTransfersOf(const QString &owner)
{
    if (journal && journal->owner() == owner)
        return;
    queue->setJournal(nullptr);
    journal = std::make_unique<TransferJournal>(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), owner);
    if (!journal->isKept()) {
        Prompt::warning(this, tr("Transfers not kept"),
                        tr("%1\n\nThis console goes on, but a transfer it leaves unfinished "
                           "cannot be continued later.")
                            .arg(journal->notKeptReason()));
        return;
    }
    queue->setJournal(journal.get());
}

QTreeWidgetItem *Zelt_S3::dropFolder(QObject *target, const QPoint &position) const
{
    if (target == ui->S3TreeWidget->viewport())
        return ui->S3TreeWidget->itemAt(position);
    return currentItem;
}

bool Zelt_S3::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    QStringList paths;
    for (const QUrl &url : drop->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    QTreeWidgetItem *folder = dropFolder(watched, drop->position().toPoint());
    if (paths.isEmpty() || !folder || !ui->btnS3Upload->isEnabled()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        ui->S3TreeWidget->setCurrentItem(folder);
        uploadLocalFiles(LocalUploads::collect(paths), false, false, QString());
    }
    return true;
}

void Zelt_S3::showLoginFields(bool visible)
{
    const std::array<QWidget *, 8> login{ui->lbS3Url,  ui->leS3Url,  ui->lbS3Bucket, ui->leS3Bucket,
                                         ui->lbS3User, ui->leS3User, ui->lbS3Pass,   ui->leS3Pass};
    for (QWidget *widget : login)
        widget->setVisible(visible);
}

bool Zelt_S3::isQueueIdle() const
{
    return queue->isIdle();
}

void Zelt_S3::on_btnS3Refresh_clicked()
{
    url = ui->leS3Url->text();
    user = ui->leS3User->text();
    pass = ui->leS3Pass->text();
    bucket = ui->leS3Bucket->text();
    rootFolder = config ? S3Paths::rootFolder(*config) : QString();
    const bool amazon = config && config->storageMode == Zelt_LoginData::AmazonS3;
    workerType = amazon ? 2 : 1;
    if (serviceStorage)
        bucket = amazon ? QStringLiteral("brennzelt") : config->storageBucket;
    const QString sessionToken = config ? config->storageSessionToken : QString();

    // A new storage object would lose the stored transfer: renew its credentials instead. Entries
    // made from now on go to the new target; those made before keep theirs.
    if (storageSetUp && !queue->isIdle()) {
        emit doUpdateCredentials(workerType, url, user, pass, sessionToken);
        refreshPending = true;
        return;
    }
    ui->btnS3Refresh->setEnabled(false);
    ui->lblStatus->setText(tr("Refreshing..."));
    storageSetUp = true;
    listing = storageTarget();
    emit doSetup(workerType, url, user, pass, sessionToken);
}

void Zelt_S3::onSetupFinished()
{
    emit doListObjectsAndSizes(listing.bucket, listing.rootFolder, true);
}

void Zelt_S3::onSetupFailed(QAWSException ex)
{
    Prompt::critical(this, tr("Error during initialisation"),
                     tr("An error has occurred during the initialisation of the S3 Module. Error "
                        "Message: %1")
                         .arg(ex.message));
    ProgramExit::now(-1);
}

void Zelt_S3::onListSizesFailed(QAWSException ex)
{
    Prompt::critical(this, tr("S3 Error"),
                     tr("Error listing S3 Storage Objects: %1").arg(ex.message));
    ui->lblStatus->clear();
    ui->btnS3Refresh->setEnabled(true);
}

void Zelt_S3::onListSizesFinished(QStringList sLst, QStringList iLst, QStringList eLst)
{
    const bool administrator =
        config && config->roles.contains(QStringLiteral("Zelt_Administrator"), Qt::CaseInsensitive);
    if (config)
        rootFolder = S3Paths::rootFolder(*config);
    shown = listing;
    ui->btnS3Unfinished->setEnabled(true);
    showTree(S3FolderTree::fromListing(sLst, iLst, eLst, rootFolder, administrator));
    ui->lblStatus->clear();
    ui->btnS3Refresh->setEnabled(true);
    // Asked once the storage is on screen, so that the user sees where the transfers go.
    queue->restoreInterrupted(shown);
}

void Zelt_S3::showTree(const S3FolderTree &tree)
{
    const QTreeWidgetItem *selected = ui->S3TreeWidget->currentItem();
    const QString selectedPath = selected ? pathOf(selected) : QString();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QList<QTreeWidgetItem *> items;
    items.reserve(tree.folders.size());
    for (const S3FolderTree::Folder &folder : tree.folders) {
        auto *item = folder.parent < 0
                         ? new QTreeWidgetItem({S3Paths::topItemText(
                               config ? config->storageMode : Zelt_LoginData::MinIO, rootFolder)})
                         : new QTreeWidgetItem(items.at(folder.parent), {folder.name});
        if (folder.parent >= 0)
            item->setIcon(0, folderIcon);
        item->setData(PathColumn, Qt::UserRole, folder.path);
        item->setData(FilesColumn, Qt::UserRole, folder.files);
        items.append(item);
    }

    // Selecting in the old tree while it is torn down would fill the table from dead items.
    {
        const QSignalBlocker blocker(ui->S3TreeWidget);
        ui->S3TreeWidget->clear();
        currentItem = nullptr;
    }
    ui->S3TableWidget->setRowCount(0);
    ui->S3TreeWidget->addTopLevelItem(items.first());
    items.first()->setExpanded(true);

    QTreeWidgetItem *reselect = items.first();
    for (QTreeWidgetItem *item : std::as_const(items)) {
        if (pathOf(item) == selectedPath) {
            reselect = item;
            break;
        }
    }
    ui->S3TreeWidget->setCurrentItem(reselect);
}

QString Zelt_S3::relativePath(QTreeWidgetItem *item) const
{
    QStringList names;
    for (; item && item->parent(); item = item->parent())
        names.prepend(item->text(0));
    return names.join(QLatin1Char('/'));
}

void Zelt_S3::on_S3TreeWidget_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    ui->S3TableWidget->clearSelection();
    currentItem = current;
    ui->S3TableWidget->setRowCount(0);
    if (!current)
        return;
    currentDir = S3Paths::currentDir(rootFolder, relativePath(current));

    const QJsonArray files = filesOf(current);
    ui->S3TableWidget->setRowCount(int(files.size()));
    for (int row = 0; row < files.size(); ++row) {
        const QJsonObject file = files.at(row).toObject();
        const QString name = file.value(QStringLiteral("name")).toString();
        auto *nameItem = new QTableWidgetItem(name);
        nameItem->setData(Qt::UserRole, file);
        SetIconFromFilename(nameItem, name);
        auto *sizeItem = new QTableWidgetItem(
            SizeText::listSize(file.value(QStringLiteral("size")).toString().toLongLong()));
        sizeItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui->S3TableWidget->setItem(row, 0, nameItem);
        ui->S3TableWidget->setItem(row, 1, sizeItem);
        ui->S3TableWidget->setRowHeight(row, 20);
    }
    ui->btnS3Upload->setEnabled(true);
    ui->btnS3Mkdir->setEnabled(true);
    emit itemClicked();
}

void Zelt_S3::SetIconFromFilename(QTableWidgetItem *itm, QString name)
{
    static const std::array<std::pair<const char *, const char *>, 30> icons{{
        {".fbx", "fbx.ico"},   {".wav", "wav.ico"},  {".mp3", "mp3.ico"},  {".m4a", "m4a.ico"},
        {".webm", "webm.ico"}, {".mkv", "mkv.ico"},  {".mov", "mov.ico"},  {".wma", "wma.ico"},
        {".wmv", "wmv.ico"},   {".flv", "flv.ico"},  {".avi", "avi.ico"},  {".mp4", "mp4.ico"},
        {".jpg", "jpg.ico"},   {".jpeg", "jpg.ico"}, {".png", "png.ico"},  {".gif", "gif.ico"},
        {".bmp", "bmp.ico"},   {".txt", "txt.ico"},  {".pdf", "pdf.ico"},  {".mpg", "mpg.ico"},
        {".mpeg", "mpg.ico"},  {".tiff", "pic.ico"}, {".svg", "pic.ico"},  {".doc", "doc.ico"},
        {".docx", "doc.ico"},  {".xls", "xls.ico"},  {".xlsx", "xls.ico"}, {".ppt", "ppt.ico"},
        {".pptx", "ppt.ico"},  {".ppts", "ppt.ico"},
    }};
    for (const auto &[ending, icon] : icons) {
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) {
            // Decoding an image per row would make a folder of thousands of files slow to show.
            QIcon &cached = iconCache[QLatin1String(icon)];
            if (cached.isNull())
                cached = QIcon(QStringLiteral(":/Zelt_ServerApp/") + QLatin1String(icon));
            itm->setIcon(cached);
            return;
        }
    }
    itm->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
}

void Zelt_S3::on_S3TableWidget_itemSelectionChanged()
{
    emit itemClicked();
}

void Zelt_S3::on_S3TableWidget_itemDoubleClicked(QTableWidgetItem *)
{
    emit itemDoubleClicked();
}

QList<QTableWidgetItem *> Zelt_S3::selectedItems() const
{
    QList<QTableWidgetItem *> items;
    const QModelIndexList rows = ui->S3TableWidget->selectionModel()->selectedRows(0);
    for (const QModelIndex &row : rows)
        items.append(ui->S3TableWidget->item(row.row(), 0));
    return items;
}

void Zelt_S3::clearSelection()
{
    ui->S3TableWidget->clearSelection();
}

void Zelt_S3::setDeleteEnabled(bool enabled)
{
    ui->btnS3Download->setEnabled(enabled);
    ui->btnS3BanFile->setEnabled(enabled);
    ui->btnS3Delete->setEnabled(enabled);
}

bool Zelt_S3::listsKey(const QString &key) const
{
    const QTreeWidgetItem *folder = folderItem(S3Paths::folderPathOf(key));
    if (!folder)
        return false;
    const QString name = S3Paths::fileNameOf(key);
    const QJsonArray files = filesOf(folder);
    return std::any_of(files.begin(), files.end(), [&name](const QJsonValue &file) {
        return file.toObject().value(QStringLiteral("name")).toString() == name;
    });
}

QString Zelt_S3::getPathPrefix() const
{
    return S3Paths::pathPrefix(rootFolder);
}

void Zelt_S3::uploadFiles(QStringList uploadfiles, bool noAll, bool yesAll, QString pathoverride)
{
    QList<S3TransferQueue::LocalFile> files;
    for (const QString &file : std::as_const(uploadfiles)) {
        lastUploadDir = QFileInfo(file).absolutePath();
        files.append({file, QFileInfo(file).fileName()});
    }
    uploadLocalFiles(files, noAll, yesAll, pathoverride);
}

void Zelt_S3::uploadLocalFiles(const QList<S3TransferQueue::LocalFile> &files, bool noAll,
                               bool yesAll, const QString &pathOverride)
{
    queue->uploadFiles(
        files, noAll, yesAll, pathOverride,
        {storageTarget(), currentDir, [this](const QString &key) { return listsKey(key); }});
}

void Zelt_S3::deleteFiles(QStringList files)
{
    queue->deleteKeys(storageTarget(), files);
}

void Zelt_S3::onDeleteSlot(int slot)
{
    queue->dropWaiting(slot);
}

void Zelt_S3::retryRow(int row)
{
    queue->retryRow(row);
}

void Zelt_S3::removeRow(int row)
{
    queue->removeRow(row);
}

void Zelt_S3::on_btnS3Upload_clicked()
{
    const QString start = lastUploadDir.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              : lastUploadDir;
    const QStringList files = Prompt::current().openFileNames(
        this, tr("Select files to Upload"), start,
        tr("3D Files (*.fbx);;Audio (*.mp3 *.wav);;Images (*.png *.jpg *.jpeg);;Videos (*.webm "
           "*.mp4 *.mpg *.mpeg);;Documents (*.pdf *.txt *.docx *.doc *.xlsx *.xls *.pptx *.ppt "
           "*.ppsx *.pps)"));
    if (!files.isEmpty())
        uploadFiles(files, false, false, QString());
}

void Zelt_S3::on_btnS3Download_clicked()
{
    const QList<QTableWidgetItem *> items = selectedItems();
    if (items.isEmpty())
        return;
    const QString start = lastDownloadDir.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)
                              : lastDownloadDir;
    QString target;
    if (items.size() == 1) {
        target = Prompt::current().saveFileName(this, tr("Save File As"),
                                                start + QLatin1Char('/') + items.first()->text(),
                                                QStringLiteral("*.*"), Prompt::Overwrite::Silently);
        if (target.isEmpty())
            return;
        lastDownloadDir = QFileInfo(target).absolutePath();
    } else {
        target = Prompt::current().existingDirectory(this, tr("Save files in"), start);
        if (target.isEmpty())
            return;
        lastDownloadDir = target;
    }

    QList<S3QueueEntry> entries;
    for (const QTableWidgetItem *item : items) {
        const QJsonObject file = item->data(Qt::UserRole).toJsonObject();
        S3QueueEntry entry;
        entry.operation = S3QueueEntry::Download;
        entry.setTarget(storageTarget());
        entry.remote = file.value(QStringLiteral("path")).toString();
        entry.local = items.size() == 1 ? target : target + QLatin1Char('/') + item->text();
        entry.size = file.value(QStringLiteral("size")).toString().toLongLong();
        entries.append(entry);
    }
    queue->beginTransfers();
    queue->addDownloads(entries);
}

void Zelt_S3::on_btnS3Delete_clicked()
{
    const QList<QTableWidgetItem *> items = selectedItems();
    if (items.isEmpty())
        return;
    const bool single = items.size() == 1;
    const QString title = single ? tr("Delete File") : tr("Delete Files");
    const QString text = single
                             ? tr("Do you really want to delete '%1'?").arg(items.first()->text())
                             : tr("Do you really want to delete these files?");
    if (Prompt::question(this, title, text) != Prompt::Yes)
        return;
    QStringList keys;
    for (const QTableWidgetItem *item : items)
        keys << item->data(Qt::UserRole).toJsonObject().value(QStringLiteral("path")).toString();
    queue->deleteKeys(storageTarget(), keys);
}

void Zelt_S3::on_btnS3Mkdir_clicked()
{
    if (!currentItem)
        return;
    const std::optional<QString> name =
        Prompt::current().text(this, tr("New Directory"), tr("Directory Name:"),
                               Prompt::Echo::Normal, tr("New Directory"));
    if (!name || name->isEmpty())
        return;
    const QString path = S3Paths::folderPath(S3Paths::objectKey(currentDir, *name));
    for (int i = 0; i < currentItem->childCount(); ++i) {
        if (pathOf(currentItem->child(i)) == path) {
            Prompt::warning(this, tr("Directory already exists"),
                            tr("A directory with the name %1 already exists.").arg(*name));
            return;
        }
    }
    auto *item = new QTreeWidgetItem(currentItem, {*name});
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    item->setData(PathColumn, Qt::UserRole, path);
    item->setData(FilesColumn, Qt::UserRole, QJsonArray());
    currentItem->setExpanded(true);
}

void Zelt_S3::on_btnS3BanFile_clicked()
{
    if (selectedItems().isEmpty())
        return;
    if (Prompt::question(this, tr("Add files to Banlist"),
                         tr("Do you really want to add the selected files to the list of Banned "
                            "files?")) == Prompt::Yes)
        emit banFile();
}

QTreeWidgetItem *Zelt_S3::folderItem(const QString &path) const
{
    QTreeWidgetItem *found = nullptr;
    for (QTreeWidgetItemIterator it(ui->S3TreeWidget); *it; ++it) {
        if (pathOf(*it) == path)
            found = *it;
    }
    return found;
}

bool Zelt_S3::endedInTree() const
{
    return queue->currentEntry().target() == shown;
}

void Zelt_S3::onUploaded(const QString &key, qlonglong size, const QString &eTag)
{
    if (!endedInTree())
        return;
    QTreeWidgetItem *folder = folderItem(S3Paths::folderPathOf(key));
    if (!folder)
        return;
    QJsonArray files = filesOf(folder);
    S3FolderTree::insertFile(files, S3FolderTree::fileObject(S3Paths::fileNameOf(key),
                                                             QString::number(size), eTag, key));
    folder->setData(FilesColumn, Qt::UserRole, files);
    if (folder == currentItem)
        on_S3TreeWidget_currentItemChanged(folder, folder);
}

void Zelt_S3::onDeleted(const QString &key)
{
    if (!endedInTree())
        return;
    QTreeWidgetItem *folder = folderItem(S3Paths::folderPathOf(key));
    if (!folder)
        return;
    QJsonArray files = filesOf(folder);
    if (!S3FolderTree::removeFile(files, key))
        return;
    folder->setData(FilesColumn, Qt::UserRole, files);
    if (folder == currentItem)
        on_S3TreeWidget_currentItemChanged(folder, folder);
}

void Zelt_S3::showPaused(bool paused)
{
    const QSignalBlocker blocker(ui->btnPause);
    ui->btnPause->setChecked(paused);
    ui->btnPause->setIcon(QIcon(paused ? QStringLiteral(":/Zelt_ServerApp/play.png")
                                       : QStringLiteral(":/Zelt_ServerApp/pause.png")));
    // Named by what a click does next.
    const QString action = paused ? tr("Resume transfers") : tr("Pause transfers");
    ui->btnPause->setToolTip(action);
    ui->btnPause->setAccessibleName(action);
}

void Zelt_S3::on_btnPause_clicked()
{
    if (ui->btnPause->isChecked())
        queue->pauseTransfer();
    else
        queue->continueTransfer();
    // There may have been nothing to pause, or the transfer ended meanwhile.
    showPaused(queue->currentEntry().status == S3QueueEntry::Paused);
}

void Zelt_S3::pauseTransfer()
{
    ui->btnPause->setChecked(true);
    on_btnPause_clicked();
}

void Zelt_S3::continueTransfer()
{
    ui->btnPause->setChecked(false);
    on_btnPause_clicked();
}

void Zelt_S3::on_btnAbort_clicked()
{
    abortTransfer();
}

void Zelt_S3::abortTransfer()
{
    queue->abortTransfer();
}
