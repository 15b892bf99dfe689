#include "Zelt_MeetingsTable.h"

#include "MeetingRules.h"
#include "TableCells.h"

#include <QLabel>

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
}

void Zelt_MeetingsTable::setUpColumns()
{
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("Id"), tr("Status"), tr("Pw"), tr("Voice"), tr("Creator"),
                               tr("Title"), tr("Time Left"), tr("Users")});
    const double w = width() - 40;
    const double shares[ColumnCount] = {0.1, 0.05, 0.05, 0.05, 0, 0.55, 0.12, 0.05};
    for (int column = 0; column < ColumnCount; ++column)
        setColumnWidth(
            column, shares[column] == 0 ? 0 : widthAtLeastHeader(this, column, shares[column] * w));
    setColumnHidden(Creator, true);
    QHeaderView *header = horizontalHeader();
    for (int column = 0; column < ColumnCount; ++column)
        header->setSectionResizeMode(column, column <= Voice   ? QHeaderView::Fixed
                                             : column == Title ? QHeaderView::Stretch
                                                               : QHeaderView::Interactive);
}

void Zelt_MeetingsTable::showCreatorColumn()
{
    setColumnHidden(Creator, false);
    const double w = width() - 40;
    setColumnWidth(Creator, widthAtLeastHeader(this, Creator, 0.25 * w));
    setColumnWidth(Title, widthAtLeastHeader(this, Title, 0.35 * w));
}

void Zelt_MeetingsTable::showMeetings(const QMap<QString, ZeltMeeting> &meetings)
{
    clearSelection();
    setRowCount(int(meetings.size()));
    int row = 0;
    for (const ZeltMeeting &meeting : meetings) {
        auto *id = new QTableWidgetItem(meeting.meetingId().toUpper());
        id->setTextAlignment(Qt::AlignCenter);
        setItem(row, Id, id);
        setCellWidget(row, Password, newTableIcon(MeetingRules::lockIcon(meeting.password())));
        setCellWidget(row, Voice, newTableIcon(MeetingRules::voiceIcon(meeting.audioMode())));
        setText(row, Creator, meeting.creator());
        setText(row, Title, meeting.title());
        item(row, Title)->setToolTip(meeting.title());
        setText(row, TimeLeft, QString());
        setText(row, Users, QString());
        setRowHeight(row, 20);
        ++row;
    }
    fitToTexts(this, Id);
    fitToTexts(this, Creator);
}

void Zelt_MeetingsTable::showLiveState(const QMap<QString, ZeltMeeting> &meetings,
                                       const QMap<QString, ZeltMeetingInfo> &info,
                                       const QDateTime &now)
{
    for (int row = 0; row < rowCount(); ++row) {
        const QString key = keyOfRow(row);
        const auto live = info.constFind(key);
        if (live == info.constEnd()) {
            setText(row, TimeLeft, QString());
            setText(row, Users, QString());
            continue;
        }
        const ZeltMeeting meeting = meetings.value(key);
        setCellWidget(row, Status, newTableIcon(MeetingRules::statusIcon(meeting, *live)));
        const bool active = MeetingRules::isActive(meeting);
        setText(row, TimeLeft,
                active ? MeetingRules::timeLeft(live->endingTime(), now) : QString());
        setText(row, Users, active ? QString::number(live->clients().size()) : QString());
    }
    fitToTexts(this, TimeLeft);
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

void Zelt_MeetingsTable::setText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *cell = item(row, column))
        cell->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
}
