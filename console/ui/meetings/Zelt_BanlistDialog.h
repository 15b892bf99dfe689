#pragma once

#include "service/ZeltBanlistEntry.h"

#include <QDialog>
#include <QMap>

#include <memory>

class QListWidgetItem;
class Zelt_MeetingsInfoThread;
namespace Ui {
class Zelt_BanlistDialogClass;
}

// Shows the service's banlist, adds banned URL patterns and deletes entries. Every change goes
// to the service and the list reloads from its answer.
class Zelt_BanlistDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_BanlistDialog(Zelt_MeetingsInfoThread *infoThread, QWidget *parent = nullptr);
    ~Zelt_BanlistDialog() override;

public slots:
    void on_btnAddCustom_clicked();
    void on_btnDelete_clicked();
    void on_banlst_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void onBanlist(QList<Zelt_Service_API::ZeltBanlistEntry> lst);
    void onBanlistPost(int id);
    void onBanlistDeleted(int id);

private:
    std::unique_ptr<Ui::Zelt_BanlistDialogClass> ui;
    Zelt_MeetingsInfoThread *infoThread;
    QMap<qint32, Zelt_Service_API::ZeltBanlistEntry> entries;
};
