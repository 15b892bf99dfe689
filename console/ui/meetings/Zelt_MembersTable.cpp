#include "Zelt_MembersTable.h"

#include "MeetingRules.h"
#include "TableCells.h"

#include <QLabel>

#include <QHeaderView>

using Zelt_Service_API::ZeltMirrorClientInfo;

namespace {
enum Column
{
    Id,
    Mic,
    Alias,
    User,
    Role,
    Host,
    ColumnCount
};
} // namespace

Zelt_MembersTable::Zelt_MembersTable(QWidget *parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
}

void Zelt_MembersTable::setUpColumns()
{
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels(
        {tr("Id"), tr("Mic"), tr("Alias"), tr("User"), tr("Role"), tr("Host")});
    const double w = width() - 40;
    const double shares[ColumnCount] = {0.05, 0.05, 0.8, 0, 0.1, 0};
    for (int column = 0; column < ColumnCount; ++column)
        setColumnWidth(
            column, shares[column] == 0 ? 0 : widthAtLeastHeader(this, column, shares[column] * w));
    horizontalHeader()->setSectionResizeMode(Id, QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(Mic, QHeaderView::Fixed);
    setColumnHidden(User, true);
    setColumnHidden(Host, true);
}

void Zelt_MembersTable::showClients(const QList<ZeltMirrorClientInfo> &clients)
{
    setRowCount(int(clients.size()));
    for (int row = 0; row < clients.size(); ++row) {
        const ZeltMirrorClientInfo &client = clients.at(row);
        auto *id = new QTableWidgetItem(QString::number(client.id()));
        id->setTextAlignment(Qt::AlignCenter);
        id->setData(Qt::UserRole, client.asJson());
        setItem(row, Id, id);
        setCellWidget(row, Mic, newTableIcon(MeetingRules::microphoneIcon(client)));
        setItem(row, Alias, new QTableWidgetItem(client.alias()));
        setItem(row, User, new QTableWidgetItem(client.credentials().user()));
        setItem(row, Role, new QTableWidgetItem(client.currentRole()));
        setItem(row, Host, new QTableWidgetItem(client.hostName()));
        setRowHeight(row, 20);
    }
    fitToTexts(this, Id);
    fitToTexts(this, Role);
    // The alias takes what is left, so that the role stays in view.
    const int left = viewport()->width() - columnWidth(Id) - columnWidth(Mic) - columnWidth(Role);
    setColumnWidth(Alias, widthAtLeastHeader(this, Alias, left));
}

std::optional<ZeltMirrorClientInfo> Zelt_MembersTable::selectedClient() const
{
    const QList<QTableWidgetItem *> selected = selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QTableWidgetItem *id = item(selected.first()->row(), Id);
    if (!id)
        return std::nullopt;
    ZeltMirrorClientInfo client;
    client.fromJson(id->data(Qt::UserRole).toString());
    return client;
}

void Zelt_MembersTable::setSelectedRole(const QString &role)
{
    const QList<QTableWidgetItem *> selected = selectedItems();
    if (!selected.isEmpty())
        if (QTableWidgetItem *cell = item(selected.first()->row(), Role))
            cell->setText(role);
}
