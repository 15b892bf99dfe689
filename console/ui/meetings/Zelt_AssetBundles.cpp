#include "Zelt_AssetBundles.h"

#include "AssetBundleRules.h"
#include "Prompt.h"
#include "Zelt_LoginData.h"
#include "Zelt_MeetingsInfoThread.h"
#include "Zelt_S3.h"
#include "ui_Zelt_AssetBundles.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QProgressDialog>
#include <QSet>
#include <QShortcut>
#include <QStandardPaths>

using Zelt_AuthService_API::ZeltError;
using Zelt_Service_API::ZeltAssetBundle;
namespace Rules = AssetBundleRules;

namespace {
enum Column
{
    NameColumn,
    OwnerColumn,
    StorageColumn,
    SizeColumn
};

QString storageIcon(qint32 mode)
{
    switch (mode) {
    case Zelt_LoginData::AmazonS3:
        return QStringLiteral(":/Zelt_ServerApp/aws.png");
    case Zelt_LoginData::MinIO:
        return QStringLiteral(":/Zelt_ServerApp/minio.png");
    case Zelt_LoginData::NextCloud:
        return QStringLiteral(":/Zelt_ServerApp/nextcloud2.png");
    default:
        return {};
    }
}
} // namespace

Zelt_AssetBundles::Zelt_AssetBundles(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Zelt_AssetBundlesClass>())
{
    ui->setupUi(this);
    new QShortcut(QKeySequence(Qt::Key_F5), this, ui->btnRefresh, &QToolButton::click,
                  Qt::WidgetWithChildrenShortcut);
}

Zelt_AssetBundles::~Zelt_AssetBundles() = default;

void Zelt_AssetBundles::setup(Zelt_S3 *s3Browser, Zelt_MeetingsInfoThread *infoThread,
                              Zelt_LoginData *loginData)
{
    this->s3Browser = s3Browser;
    this->infoThread = infoThread;
    this->loginData = loginData;
    active = true;
    connect(infoThread, &Zelt_MeetingsInfoThread::assetBundles, this,
            &Zelt_AssetBundles::onAssetBundles);
    connect(infoThread, &Zelt_MeetingsInfoThread::assetBundleDeleted, this,
            &Zelt_AssetBundles::onAssetBundleDeleted);
    connect(infoThread, &Zelt_MeetingsInfoThread::assetBundlePost, this,
            &Zelt_AssetBundles::onAssetBundlePost);
    connect(infoThread, &Zelt_MeetingsInfoThread::assetBundlePostError, this,
            &Zelt_AssetBundles::onAssetBundlePostError);
    connect(s3Browser, &Zelt_S3::uploadsFinished, this, &Zelt_AssetBundles::onUploadsFinished);
    connect(s3Browser, &Zelt_S3::uploadFailed, this, &Zelt_AssetBundles::onUploadsFailed);
    ui->btnCreateGlobal->setVisible(isAdministrator());
    infoThread->getAssetBundles();
    initUI();
}

void Zelt_AssetBundles::initUI()
{
    QTableWidget *table = ui->ABTableWidget;
    table->setColumnCount(4);
    table->setHorizontalHeaderLabels({tr("Name"), tr("Owner"), tr("Storage"), tr("Size")});
    QHeaderView *header = table->horizontalHeader();
    // Names and owners share the room; storage and size are short and fit their content.
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(OwnerColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(StorageColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(SizeColumn, QHeaderView::ResizeToContents);
    table->verticalHeader()->setDefaultSectionSize(20);
    table->verticalHeader()->hide();
}

bool Zelt_AssetBundles::isAdministrator() const
{
    return loginData &&
           loginData->roles.contains(QStringLiteral("Zelt_Administrator"), Qt::CaseInsensitive);
}

// --- Listing and selection ---

void Zelt_AssetBundles::onAssetBundles(QList<ZeltAssetBundle> received)
{
    bundles = Rules::listingOrder(received);
    QTableWidget *table = ui->ABTableWidget;
    table->clearContents();
    table->setRowCount(int(bundles.size()));
    for (int row = 0; row < bundles.size(); ++row) {
        const ZeltAssetBundle &bundle = bundles.at(row);
        auto *name = new QTableWidgetItem(QIcon(QStringLiteral(":/Zelt_ServerApp/empty_box.svg")),
                                          bundle.name());
        name->setData(Qt::UserRole, bundle.id());
        // The fixed owner column leaves the name little room in a narrow window.
        name->setToolTip(bundle.name());
        auto *owner =
            new QTableWidgetItem(Rules::isGlobal(bundle) ? tr("Vorel Team") : bundle.userName());
        auto *storage = new QTableWidgetItem;
        if (const QString icon = storageIcon(bundle.mode()); !icon.isEmpty())
            storage->setIcon(QIcon(icon));
        storage->setData(Qt::UserRole, bundle.id());
        auto *size = new QTableWidgetItem(Rules::sizeText(bundle));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, NameColumn, name);
        table->setItem(row, OwnerColumn, owner);
        table->setItem(row, StorageColumn, storage);
        table->setItem(row, SizeColumn, size);
        table->setRowHeight(row, 20);
    }
}

QList<QTableWidgetItem *> Zelt_AssetBundles::selectedItems() const
{
    return ui->ABTableWidget->selectedItems();
}

int Zelt_AssetBundles::selectedCount() const
{
    return int(ui->ABTableWidget->selectionModel()->selectedIndexes().size());
}

ZeltAssetBundle Zelt_AssetBundles::selectedBundle(int *code) const
{
    QSet<int> rows;
    for (const QModelIndex &index : ui->ABTableWidget->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.size() > 1) {
        *code = -2;
        return {};
    }
    const QTableWidgetItem *item =
        rows.isEmpty() ? nullptr : ui->ABTableWidget->item(*rows.begin(), NameColumn);
    if (item) {
        const QString id = item->data(Qt::UserRole).toString();
        for (const ZeltAssetBundle &bundle : bundles) {
            if (bundle.id() == id) {
                *code = 0;
                return bundle;
            }
        }
    }
    *code = -3;
    return {};
}

void Zelt_AssetBundles::setDeleteEnabled(bool enabled)
{
    ui->btnDelete->setEnabled(enabled);
}

void Zelt_AssetBundles::on_ABTableWidget_itemSelectionChanged()
{
    if (active)
        emit itemClicked();
}

void Zelt_AssetBundles::on_ABTableWidget_itemDoubleClicked(QTableWidgetItem *)
{
    if (active)
        emit itemDoubleClicked();
}

void Zelt_AssetBundles::on_btnRefresh_clicked()
{
    if (active)
        infoThread->getAssetBundles();
}

// --- Creating ---

void Zelt_AssetBundles::on_btnCreate_clicked()
{
    if (active)
        createBundle(false);
}

void Zelt_AssetBundles::on_btnCreateGlobal_clicked()
{
    if (!active || !isAdministrator())
        return;
    if (Prompt::question(this, tr("Create Global Asset Bundle"),
                         tr("Do you want to create a global Asset Bundle available to all users "
                            "on the service?")) != Prompt::Yes)
        return;
    if (Prompt::question(this, tr("Are you sure?"),
                         tr("Are you sure? This will make the contents of the Asset Bundle "
                            "available to all users.")) != Prompt::Yes)
        return;
    Prompt::warning(this, tr("Creating global Asset Bundle"),
                    tr("Creating global Asset Bundle - It will be available to all users"));
    createBundle(true);
}

void Zelt_AssetBundles::createBundle(bool global)
{
    pending.reset();
    registering = false;
    const QString chosen = Prompt::current().openFileName(
        this, tr("Select files to Upload"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        tr("Win Assetpack (*%1)").arg(Rules::WindowsSuffix));
    if (chosen.isEmpty())
        return;
    const Rules::PackFiles files = Rules::packFiles(chosen);
    if (const auto missing = Rules::firstMissing(files)) {
        QString text;
        switch (missing->first) {
        case Rules::Platform::Ios:
            text = tr("The ios asset pack file could not be found.\n Expected path: %1");
            break;
        case Rules::Platform::Web:
            text = tr("The web asset pack file could not be found.\n Expected path: %1");
            break;
        default:
            text = tr("The android asset pack file could not be found.\n Expected path: %1");
            break;
        }
        Prompt::critical(this, tr("Missing file"), text.arg(missing->second));
        return;
    }
    const QString name = Rules::bundleName(chosen);
    if (Rules::ownsBundleNamed(bundles, name, loginData->id)) {
        Prompt::critical(this, tr("Duplicate"),
                         tr("An assetbundle of the name '%1' already exists.").arg(name));
        return;
    }

    ZeltAssetBundle bundle;
    if (global)
        bundle.setId(QStringLiteral("GLOBAL"));
    bundle.setMode(s3Browser->storageType());
    bundle.setName(name);
    bundle.setStgRelPath(Rules::storagePath(s3Browser->getPathPrefix(), name));
    bundle.setStgSize(files.sizes());
    pending = bundle;

    showProgress(tr("Uploading Files"));
    QCoreApplication::processEvents();
    s3Browser->uploadFiles(files.uploadOrder(), false, true, Rules::StorageFolder);
    // Nothing was queued (the files vanished meanwhile): no upload signal will come.
    if (pending && s3Browser->isQueueIdle()) {
        pending.reset();
        closeProgress();
    }
}

void Zelt_AssetBundles::onUploadsFinished()
{
    if (!pending) {
        closeProgress();
        return;
    }
    if (registering)
        return;
    registering = true;
    showProgress(tr("Creating Asset Bundle in Service"));
    QCoreApplication::processEvents();
    infoThread->createAssetBundle(*pending);
}

void Zelt_AssetBundles::onUploadsFailed()
{
    // A bundle needs all four files: one that failed to upload is never registered.
    if (pending && !registering) {
        abandonPending();
        infoThread->getAssetBundles();
    }
    closeProgress();
}

void Zelt_AssetBundles::onAssetBundlePost(QString)
{
    infoThread->getAssetBundles();
    closeProgress();
    pending.reset();
    registering = false;
}

void Zelt_AssetBundles::onAssetBundlePostError(ZeltError)
{
    // The live info object has told the user already.
    infoThread->getAssetBundles();
    closeProgress();
    if (pending)
        abandonPending();
}

void Zelt_AssetBundles::abandonPending()
{
    // Queued behind the bundle's remaining uploads, so files stored after a failure go too;
    // deleting a key that was never stored is no error.
    s3Browser->deleteFiles(Rules::storedKeys(pending->stgRelPath()));
    pending.reset();
    registering = false;
}

void Zelt_AssetBundles::showProgress(const QString &label)
{
    if (!progress) {
        progress = std::make_unique<QProgressDialog>(nullptr, Qt::Dialog | Qt::CustomizeWindowHint |
                                                                  Qt::WindowTitleHint);
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setCancelButton(nullptr);
        progress->setRange(0, 0);
        progress->setWindowTitle(tr("Creating Asset Bundle"));
    }
    progress->setLabelText(label);
    progress->show();
}

void Zelt_AssetBundles::closeProgress()
{
    if (progress) {
        progress->close();
        progress.reset();
    }
}

// --- Deleting ---

void Zelt_AssetBundles::on_btnDelete_clicked()
{
    if (!active)
        return;
    int code = 0;
    const ZeltAssetBundle bundle = selectedBundle(&code);
    if (code != 0) {
        Prompt::critical(this, tr("Cannot delete Asset Bundle"),
                         tr("Unknown Error finding Asset Bundle ID."));
        return;
    }
    if (Rules::isGlobal(bundle)) {
        Prompt::critical(this, tr("Cannot delete Asset Bundle"),
                         tr("This Asset Bundle cannot be deleted."));
        return;
    }
    if (Prompt::question(this, tr("Delete Asset Bundle"),
                         tr("Do you really want to delete Asset Bundle %1?\nAll references to "
                            "this Bundle will automatically be removed.")
                             .arg(bundle.name())) != Prompt::Yes)
        return;
    QCoreApplication::processEvents();
    infoThread->deleteAssetBundle(bundle.id());
}

void Zelt_AssetBundles::onAssetBundleDeleted(QString)
{
    infoThread->getAssetBundles();
}
