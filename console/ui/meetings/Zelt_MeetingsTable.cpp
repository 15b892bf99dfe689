#include "Zelt_MeetingsTable.h"

#include "MeetingRules.h"
#include "TableCells.h"

#include <QHeaderView>

using Zelt_MeetingService_API::ZeltMeeting;
using Zelt_Service_API::ZeltMeetingInfo;

namespace {
enum Column
{
    Id,
    Status,
    Password,
    Voice,
    Creator,
    Title,
    TimeLeft,
    Users,
    ColumnCount
};
}

Zelt_MeetingsTable::Zelt_MeetingsTable(QWidget *parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSortingEnabled(false);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    setIconSize(QSize(17, 17));
    auto *icons = new CentredIconDelegate(this);
    for (int column : {Status, Password, Voice})
        setItemDelegateForColumn(column, icons);
}

void Zelt_MeetingsTable::setUpColumns()
{
    // Set up once: a session handed over again keeps the widths fitted to the texts so far.
    if (columnCount() == ColumnCount)
        return;
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("Id"), tr("Status"), tr("Pw"), tr("Voice"), tr("Creator"),
                               tr("Title"), tr("Time Left"), tr("Users")});
    QHeaderView *header = horizontalHeader();
    for (int column = 0; column < ColumnCount; ++column) {
        header->setSectionResizeMode(column, column == Title ? QHeaderView::Stretch
                                             : column >= Status && column <= Voice
                                                 ? QHeaderView::Fixed
                                                 : QHeaderView::Interactive);
        setColumnWidth(column, header->sectionSizeHint(column));
    }
    setColumnHidden(Creator, true);
}

void Zelt_MeetingsTable::showCreatorColumn()
{
    setColumnHidden(Creator, false);
    widenToFit(this, Creator);
}

void Zelt_MeetingsTable::showMeetings(const QMap<QString, ZeltMeeting> &meetings)
{
    clearSelection();
    setRowCount(int(meetings.size()));
    QStringList ids;
    QStringList creators;
    int row = 0;
    for (auto meeting = meetings.cbegin(); meeting != meetings.cend(); ++meeting, ++row) {
        // A row that showed another meeting loses that meeting's status until the next poll.
        if (keyOfRow(row) != meeting.key())
            delete takeItem(row, Status);
        const QString id = meeting->meetingId().toUpper();
        setCellText(this, row, Id, id);
        item(row, Id)->setTextAlignment(Qt::AlignCenter);
        setCellIcon(this, row, Password, MeetingRules::lockIcon(meeting->password()));
        setCellIcon(this, row, Voice, MeetingRules::voiceIcon(meeting->audioMode()));
        setCellText(this, row, Creator, meeting->creator());
        setCellText(this, row, Title, meeting->title());
        item(row, Title)->setToolTip(meeting->title());
        setCellText(this, row, TimeLeft, QString());
        setCellText(this, row, Users, QString());
        ids << id;
        creators << meeting->creator();
    }
    widenToFit(this, Id, ids);
    widenToFit(this, Creator, creators);
}

void Zelt_MeetingsTable::showLiveState(const QMap<QString, ZeltMeeting> &meetings,
                                       const QMap<QString, ZeltMeetingInfo> &info,
                                       const QDateTime &now)
{
    QStringList timesLeft;
    for (int row = 0; row < rowCount(); ++row) {
        const QString key = keyOfRow(row);
        const auto live = info.constFind(key);
        if (live == info.constEnd()) {
            setCellText(this, row, TimeLeft, QString());
            setCellText(this, row, Users, QString());
            continue;
        }
        const ZeltMeeting meeting = meetings.value(key);
        setCellIcon(this, row, Status, MeetingRules::statusIcon(meeting, *live));
        const bool active = MeetingRules::isActive(meeting);
        const QString timeLeft =
            active ? MeetingRules::timeLeft(live->endingTime(), now) : QString();
        setCellText(this, row, TimeLeft, timeLeft);
        setCellText(this, row, Users, active ? QString::number(live->clients().size()) : QString());
        timesLeft << timeLeft;
    }
    widenToFit(this, TimeLeft, timesLeft);
}

QString Zelt_MeetingsTable::selectedKey() const
{
    const QList<QTableWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : keyOfRow(selected.first()->row());
}

QString Zelt_MeetingsTable::keyOfRow(int row) const
{
    const QTableWidgetItem *id = item(row, Id);
    return id ? id->text().toLower() : QString();
}
