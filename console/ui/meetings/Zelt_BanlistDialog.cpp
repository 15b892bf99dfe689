#include "Zelt_BanlistDialog.h"

#include "BanlistEntries.h"
#include "Prompt.h"
#include "Zelt_MeetingsInfoThread.h"
#include "ui_Zelt_BanlistDialog.h"

using Zelt_Service_API::ZeltBanlistEntry;

Zelt_BanlistDialog::Zelt_BanlistDialog(Zelt_MeetingsInfoThread *infoThread, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_BanlistDialogClass>()), infoThread(infoThread)
{
    ui->setupUi(this);
    connect(infoThread, &Zelt_MeetingsInfoThread::banlist, this, &Zelt_BanlistDialog::onBanlist);
    connect(infoThread, &Zelt_MeetingsInfoThread::banlistPost, this,
            &Zelt_BanlistDialog::onBanlistPost);
    connect(infoThread, &Zelt_MeetingsInfoThread::banlistDeleted, this,
            &Zelt_BanlistDialog::onBanlistDeleted);
    infoThread->getBanlist();
}

Zelt_BanlistDialog::~Zelt_BanlistDialog() = default;

void Zelt_BanlistDialog::onBanlist(QList<ZeltBanlistEntry> lst)
{
    ui->banlst->clear();
    entries = BanlistEntries::byId(lst);
    for (const ZeltBanlistEntry &entry : lst) {
        auto *item = new QListWidgetItem(BanlistEntries::itemText(entry), ui->banlst);
        item->setData(Qt::UserRole, entry.id());
    }
}

void Zelt_BanlistDialog::onBanlistPost(int)
{
    infoThread->getBanlist();
}

void Zelt_BanlistDialog::onBanlistDeleted(int)
{
    infoThread->getBanlist();
}

void Zelt_BanlistDialog::on_banlst_currentItemChanged(QListWidgetItem *current, QListWidgetItem *)
{
    ui->btnDelete->setEnabled(current != nullptr);
}

void Zelt_BanlistDialog::on_btnAddCustom_clicked()
{
    if (const auto entry = BanlistEntries::askCustomEntry(this))
        infoThread->addBanlistEntry(*entry);
}

void Zelt_BanlistDialog::on_btnDelete_clicked()
{
    const QListWidgetItem *item = ui->banlst->currentItem();
    bool converts = false;
    const int id = item ? item->data(Qt::UserRole).toInt(&converts) : 0;
    if (!converts || !entries.contains(id)) {
        Prompt::critical(this, tr("Delete not possible"), tr("Invalid entry - Could not delete"));
        return;
    }
    infoThread->deleteBanlistEntry(id);
}
