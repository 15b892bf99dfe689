#pragma once

#include "service/ZeltMeetingInfo.h"

#include <QDialog>

#include <memory>

class Zelt_MeetingsInfoThread;
namespace Ui {
class Zelt_SpawnPointsDialogClass;
}

// Lists, orders and edits the spawn points of one meeting. Works on copies: nothing changes
// until the caller takes result() after OK.
class Zelt_SpawnPointsDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_SpawnPointsDialog(const Zelt_Service_API::ZeltMeetingInfo &info,
                           Zelt_MeetingsInfoThread *infoThread, QWidget *parent = nullptr);
    ~Zelt_SpawnPointsDialog() override;

    // The meeting info with the edited list, each point's "Id" its place in the list.
    Zelt_Service_API::ZeltMeetingInfo result() const;

public slots:
    void on_btnSPAdd_clicked();
    void on_tblSpawnPoints_itemSelectionChanged();
    void on_btnSPDelete_clicked();
    void on_btnSPUp_clicked();
    void on_btnSPDown_clicked();
    void on_btnSPModify_clicked();

private:
    int selectedRow() const;
    void fillTable();
    void moveSelected(int step);

    std::unique_ptr<Ui::Zelt_SpawnPointsDialogClass> ui;
    Zelt_Service_API::ZeltMeetingInfo info;
    QList<Zelt_Service_API::ZeltSpawnPoint> spawnPoints;
    Zelt_MeetingsInfoThread *infoThread;
};
