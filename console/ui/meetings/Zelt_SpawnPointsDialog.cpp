#include "Zelt_SpawnPointsDialog.h"

#include "SpawnPointRules.h"
#include "Zelt_SpawnPointEditDialog.h"
#include "ui_Zelt_SpawnPointsDialog.h"

#include <QHeaderView>

#include <algorithm>

using Zelt_Service_API::ZeltMeetingInfo;
using Zelt_Service_API::ZeltSpawnPoint;

namespace {
constexpr int TitleColumn = 1;
// The widths of the short columns are minimums: an id or a vector that needs more gets it.
constexpr int MinimumWidths[] = {15, 90, 90, 90};
} // namespace

Zelt_SpawnPointsDialog::Zelt_SpawnPointsDialog(const ZeltMeetingInfo &info,
                                               Zelt_MeetingsInfoThread *infoThread, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_SpawnPointsDialogClass>()), info(info),
      spawnPoints(info.spawnPoints()), infoThread(infoThread)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("Manage Spawn Points for Meeting %1").arg(info.meetingId().toUpper()));
    QHeaderView *header = ui->tblSpawnPoints->horizontalHeader();
    header->setStretchLastSection(false);
    ui->tblSpawnPoints->setColumnWidth(TitleColumn, MinimumWidths[TitleColumn]);
    header->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    fillTable();
}

Zelt_SpawnPointsDialog::~Zelt_SpawnPointsDialog() = default;

ZeltMeetingInfo Zelt_SpawnPointsDialog::result() const
{
    ZeltMeetingInfo edited = info;
    edited.setSpawnPoints(SpawnPointRules::renumbered(spawnPoints));
    return edited;
}

int Zelt_SpawnPointsDialog::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = ui->tblSpawnPoints->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void Zelt_SpawnPointsDialog::fillTable()
{
    QTableWidget *table = ui->tblSpawnPoints;
    table->setRowCount(int(spawnPoints.size()));
    for (int row = 0; row < spawnPoints.size(); ++row) {
        const ZeltSpawnPoint &point = spawnPoints.at(row);
        const QStringList texts{SpawnPointRules::idText(row), point.name(),
                                SpawnPointRules::vectorText(point.position()),
                                SpawnPointRules::vectorText(point.rotation())};
        for (int column = 0; column < texts.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    }
    for (int column = 0; column < table->columnCount(); ++column) {
        if (column == TitleColumn)
            continue;
        table->resizeColumnToContents(column);
        table->setColumnWidth(column, std::max(MinimumWidths[column], table->columnWidth(column)));
    }
}

void Zelt_SpawnPointsDialog::on_tblSpawnPoints_itemSelectionChanged()
{
    const int row = selectedRow();
    const int count = int(spawnPoints.size());
    ui->btnSPModify->setEnabled(row >= 0);
    ui->btnSPDelete->setEnabled(row >= 0);
    ui->btnSPUp->setEnabled(SpawnPointRules::canMoveUp(row, count));
    ui->btnSPDown->setEnabled(SpawnPointRules::canMoveDown(row, count));
}

void Zelt_SpawnPointsDialog::on_btnSPAdd_clicked()
{
    Zelt_SpawnPointEditDialog editor(int(spawnPoints.size()), info, infoThread, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    spawnPoints.append(editor.spawnPoint());
    fillTable();
}

void Zelt_SpawnPointsDialog::on_btnSPModify_clicked()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    Zelt_SpawnPointEditDialog editor(spawnPoints.at(row), info, infoThread, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    spawnPoints[row] = editor.spawnPoint();
    fillTable();
}

void Zelt_SpawnPointsDialog::on_btnSPDelete_clicked()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    spawnPoints.removeAt(row);
    fillTable();
    ui->tblSpawnPoints->clearSelection();
    on_tblSpawnPoints_itemSelectionChanged();
}

void Zelt_SpawnPointsDialog::on_btnSPUp_clicked()
{
    moveSelected(-1);
}

void Zelt_SpawnPointsDialog::on_btnSPDown_clicked()
{
    moveSelected(1);
}

void Zelt_SpawnPointsDialog::moveSelected(int step)
{
    const auto movedTo = SpawnPointRules::move(spawnPoints, selectedRow(), step);
    if (!movedTo)
        return;
    fillTable();
    ui->tblSpawnPoints->selectRow(*movedTo);
}
