#include "Zelt_Components.h"

#include "ui_Zelt_Components.h"

#include <QHeaderView>

Zelt_Components::Zelt_Components(QWidget *parent)
    : QGroupBox(parent), ui(std::make_unique<Ui::Zelt_ComponentsClass>())
{
    ui->setupUi(this);
    setAdministrator(false);
}

Zelt_Components::~Zelt_Components() = default;

void Zelt_Components::setAdministrator(bool administrator)
{
    ui->btnProperties->setVisible(administrator);
    ui->btnExport->setVisible(administrator);
    ui->btnImport->setVisible(administrator);
}

void Zelt_Components::setUpColumns()
{
    ui->tblAssets->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tblAssets->setColumnCount(4);
    const int width = ui->tblAssets->width();
    const double shares[] = {0.05, 0.40, 0.05, 0.50};
    for (int column = 0; column < 4; ++column)
        ui->tblAssets->setColumnWidth(column, int(width * shares[column]));
}

void Zelt_Components::refreshButtons(bool serviceRunning, bool meetingSelected,
                                     bool browserHasSelection)
{
    ui->btnCustomURL->setEnabled(serviceRunning && meetingSelected);
    ui->btnAdd->setEnabled(browserHasSelection);
    const bool cellsSelected = !ui->tblAssets->selectedItems().isEmpty();
    ui->btnRemove->setEnabled(cellsSelected);
    ui->btnProperties->setEnabled(cellsSelected);
    ui->btnRemoveAll->setEnabled(ui->tblAssets->rowCount() > 0);
}
