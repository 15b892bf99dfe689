#include "Zelt_MembersTable.h"

#include "MeetingRules.h"
#include "TableCells.h"

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
    setIconSize(QSize(17, 17));
    setItemDelegateForColumn(Mic, new CentredIconDelegate(this));
}

void Zelt_MembersTable::setUpColumns()
{
    // Set up once: a session handed over again keeps the widths fitted to the texts so far.
    if (columnCount() == ColumnCount)
        return;
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels(
        {tr("Id"), tr("Mic"), tr("Alias"), tr("User"), tr("Role"), tr("Host")});
    QHeaderView *header = horizontalHeader();
    // The alias takes the free width; the role stays in view beside it.
    header->setStretchLastSection(false);
    for (int column = 0; column < ColumnCount; ++column) {
        header->setSectionResizeMode(column, column == Alias ? QHeaderView::Stretch
                                             : column == Mic ? QHeaderView::Fixed
                                                             : QHeaderView::Interactive);
        setColumnWidth(column, header->sectionSizeHint(column));
    }
    setColumnHidden(User, true);
    setColumnHidden(Host, true);
}

void Zelt_MembersTable::showClients(const QString &meetingKey,
                                    const QList<ZeltMirrorClientInfo> &clients)
{
    // The selection follows its member when others join or leave, and is not carried over to
    // another meeting: an action must never reach a member the user did not choose.
    const auto selected = meetingKey == shownMeeting ? selectedClient() : std::nullopt;
    shownMeeting = meetingKey;
    setRowCount(int(clients.size()));
    int selectedRow = -1;
    for (int row = 0; row < clients.size(); ++row) {
        const ZeltMirrorClientInfo &client = clients.at(row);
        setCellText(this, row, Id, QString::number(client.id()));
        QTableWidgetItem *id = item(row, Id);
        id->setTextAlignment(Qt::AlignCenter);
        id->setData(Qt::UserRole, client.asJson());
        setCellIcon(this, row, Mic, MeetingRules::microphoneIcon(client));
        setCellText(this, row, Alias, client.alias());
        setCellText(this, row, User, client.credentials().user());
        setCellText(this, row, Role, client.currentRole());
        setCellText(this, row, Host, client.hostName());
        if (selected && selected->id() == client.id())
            selectedRow = row;
    }
    widenToFit(this, Id);
    widenToFit(this, Role);
    if (selectedRow < 0)
        clearSelection();
    else if (currentRow() != selectedRow || selectedItems().isEmpty())
        selectRow(selectedRow);
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

void Zelt_MembersTable::selectClient(qint32 clientId)
{
    for (int row = 0; row < rowCount(); ++row) {
        if (item(row, Id) && item(row, Id)->text() == QString::number(clientId)) {
            selectRow(row);
            scrollToItem(item(row, Id));
            return;
        }
    }
}
