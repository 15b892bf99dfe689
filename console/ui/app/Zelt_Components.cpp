#include "Zelt_Components.h"

#include "ui_Zelt_Components.h"

#include <QHeaderView>

#include <algorithm>
#include <utility>

namespace {
constexpr int IdColumn = 0;
constexpr int NameColumn = 1;
constexpr int SizeColumn = 2;
constexpr int PathColumn = 3;
constexpr int RowHeight = 20;
} // namespace

Zelt_Components::Zelt_Components(QWidget *parent)
    : QGroupBox(parent), ui(std::make_unique<Ui::Zelt_ComponentsClass>())
{
    ui->setupUi(this);
    setAdministrator(false);
    // Nothing to add to before a session and a meeting exist.
    setButtonStates(false, false);
    setUpColumns();
    connect(ui->btnAdd, &QPushButton::clicked, this, &Zelt_Components::addClicked);
    connect(ui->btnCustomURL, &QPushButton::clicked, this, &Zelt_Components::customUrlClicked);
    connect(ui->btnProperties, &QPushButton::released, this, &Zelt_Components::propertiesReleased);
    connect(ui->btnRemove, &QPushButton::clicked, this, &Zelt_Components::removeClicked);
    connect(ui->btnRemoveAll, &QPushButton::clicked, this, &Zelt_Components::removeAllClicked);
    connect(ui->btnExport, &QPushButton::clicked, this, &Zelt_Components::exportRequested);
    connect(ui->btnImport, &QPushButton::clicked, this, &Zelt_Components::importRequested);
    connect(ui->tblAssets, &QTableWidget::itemDoubleClicked, this,
            &Zelt_Components::rowDoubleClicked);
    connect(ui->tblAssets, &QTableWidget::itemSelectionChanged, this,
            &Zelt_Components::selectionChanged);
}

Zelt_Components::~Zelt_Components() = default;

void Zelt_Components::setAdministrator(bool administrator)
{
    ui->btnProperties->setVisible(administrator);
    ui->btnExport->setVisible(administrator);
    ui->btnImport->setVisible(administrator);
}

bool Zelt_Components::propertiesAvailable() const
{
    return !ui->btnProperties->isHidden();
}

void Zelt_Components::setUpColumns()
{
    ui->tblAssets->setColumnCount(4);
    // Modes rather than widths: widths taken from a table not yet laid out collapse.
    QHeaderView *header = ui->tblAssets->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(IdColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(SizeColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(PathColumn, QHeaderView::Stretch);
}

void Zelt_Components::showRows(const QList<ComponentRows::Row> &rows)
{
    const std::optional<RowRef> current = currentRow();
    const std::optional<qint32> keep =
        current ? std::optional<qint32>(current->id) : std::exchange(pendingSelection, {});
    clearRows();
    for (const ComponentRows::Row &row : rows)
        putRow(row);
    if (keep)
        selectId(*keep);
}

void Zelt_Components::putRow(const ComponentRows::Row &content)
{
    int row = rowOf(content.id);
    if (row < 0) {
        row = ui->tblAssets->rowCount();
        ui->tblAssets->insertRow(row);
    }
    fillRow(row, content);
}

void Zelt_Components::fillRow(int row, const ComponentRows::Row &content)
{
    auto *id = new QTableWidgetItem(content.idText);
    id->setData(Qt::UserRole, content.id);
    id->setTextAlignment(Qt::AlignCenter);

    auto *name = new QTableWidgetItem(content.name);
    name->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (content.isBundle())
        name->setData(Qt::UserRole, content.bundleId);
    if (!content.nameIcon.isEmpty())
        name->setIcon(QIcon(content.nameIcon));
    else if (fileIconRule)
        fileIconRule(name, content.fileName);

    auto *size = new QTableWidgetItem(content.sizeText);
    size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *path = new QTableWidgetItem(content.pathText);
    if (!content.pathIcon.isEmpty())
        path->setIcon(QIcon(content.pathIcon));

    ui->tblAssets->setItem(row, IdColumn, id);
    ui->tblAssets->setItem(row, NameColumn, name);
    ui->tblAssets->setItem(row, SizeColumn, size);
    ui->tblAssets->setItem(row, PathColumn, path);
    ui->tblAssets->setRowHeight(row, RowHeight);
}

void Zelt_Components::clearRows()
{
    ui->tblAssets->clearSelection();
    ui->tblAssets->setRowCount(0);
}

void Zelt_Components::removeRows(qint32 id)
{
    for (int row = rowOf(id); row >= 0; row = rowOf(id))
        ui->tblAssets->removeRow(row);
}

void Zelt_Components::clearCurrent()
{
    ui->tblAssets->setCurrentItem(nullptr);
}

void Zelt_Components::selectId(qint32 id)
{
    const int row = rowOf(id);
    if (row >= 0)
        ui->tblAssets->selectRow(row);
}

Zelt_Components::RowRef Zelt_Components::refOf(int row) const
{
    RowRef ref;
    ref.id = ui->tblAssets->item(row, IdColumn)->data(Qt::UserRole).toInt();
    if (ref.id == ComponentRows::BundleRowId)
        ref.bundleId = ui->tblAssets->item(row, NameColumn)->data(Qt::UserRole).toString();
    return ref;
}

int Zelt_Components::rowOf(qint32 id) const
{
    for (int row = 0; row < ui->tblAssets->rowCount(); ++row) {
        if (ui->tblAssets->item(row, IdColumn)->data(Qt::UserRole).toInt() == id)
            return row;
    }
    return -1;
}

std::optional<Zelt_Components::RowRef> Zelt_Components::currentRow() const
{
    const int row = ui->tblAssets->currentRow();
    if (row < 0 || !ui->tblAssets->item(row, IdColumn))
        return std::nullopt;
    return refOf(row);
}

QList<Zelt_Components::RowRef> Zelt_Components::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : ui->tblAssets->selectionModel()->selectedIndexes()) {
        if (!rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QList<RowRef> refs;
    for (int row : rows)
        refs.append(refOf(row));
    return refs;
}

QList<Zelt_Components::RowRef> Zelt_Components::allRows() const
{
    QList<RowRef> refs;
    for (int row = 0; row < ui->tblAssets->rowCount(); ++row)
        refs.append(refOf(row));
    return refs;
}

void Zelt_Components::setButtonStates(bool customUrlEnabled, bool addEnabled)
{
    ui->btnCustomURL->setEnabled(customUrlEnabled);
    ui->btnAdd->setEnabled(addEnabled);
    const bool cellsSelected = !ui->tblAssets->selectedItems().isEmpty();
    ui->btnRemove->setEnabled(cellsSelected);
    ui->btnProperties->setEnabled(cellsSelected);
    ui->btnRemoveAll->setEnabled(ui->tblAssets->rowCount() > 0);
}
