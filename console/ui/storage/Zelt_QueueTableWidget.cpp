#include "Zelt_QueueTableWidget.h"

#include "Prompt.h"
#include "SizeText.h"
#include "TableCells.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

Zelt_QueueTableWidget::Zelt_QueueTableWidget(QWidget *parent) : QTableWidget(parent)
{
    setColumnCount(6);
    setHorizontalHeaderLabels(
        {QStringLiteral(" "), tr("File"), tr("Size"), tr("Status"), tr("Remote"), tr("Local")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    horizontalHeader()->setMinimumSectionSize(15);
    verticalHeader()->setDefaultSectionSize(20);
}

void Zelt_QueueTableWidget::showEntries(const QList<S3QueueEntry> &entries)
{
    static const QStringList marks{QStringLiteral("↑"), QStringLiteral("↓"), QStringLiteral("X"),
                                   QStringLiteral("?")};
    const QStringList statusTexts{tr("Queued"),     tr("In Progress"), tr("Paused"),
                                  tr("Skipped"),    tr("Complete"),    tr("Failed"),
                                  tr("Interrupted")};
    const QString sizeForms[] = {tr("%1 KB"), tr("%1 MB"), tr("%1 GB")};

    shown = entries;
    setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        const S3QueueEntry &entry = entries.at(row);
        const SizeText::Scaled size = SizeText::transferSize(entry.size);
        qsizetype folderEnd = entry.local.lastIndexOf(QLatin1Char('/'));
        if (folderEnd < 0)
            folderEnd = entry.local.lastIndexOf(QLatin1Char('\\'));
        const QStringList cells{marks.value(entry.operation),
                                entry.remote.mid(entry.remote.lastIndexOf(QLatin1Char('/')) + 1),
                                sizeForms[int(size.unit)].arg(size.number),
                                entry.waitingForConnection &&
                                        entry.status == S3QueueEntry::InProgress
                                    ? tr("Waiting for connection")
                                    : statusTexts.value(entry.status),
                                entry.remote,
                                folderEnd < 0 ? entry.local : entry.local.left(folderEnd)};
        // Only what changed is touched: the table is shown anew on every progress step.
        for (int column = 0; column < cells.size(); ++column) {
            setCellText(this, row, column, cells.at(column));
            QTableWidgetItem *cell = item(row, column);
            if (cell->toolTip() != entry.reason)
                cell->setToolTip(entry.reason);
        }
    }
}

void Zelt_QueueTableWidget::keyPressEvent(QKeyEvent *event)
{
    // Other keys only move the selection: the table is read-only.
    if (event->key() != Qt::Key_Delete) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    const int row = currentRow();
    if (row < 0 || row >= shown.size())
        return;
    // Only a running or paused entry leads the list, and not always: an abort the worker has not
    // ended yet, or failed rows alone, leave none there.
    const int status = shown.first().status;
    const int slot =
        row - (status == S3QueueEntry::InProgress || status == S3QueueEntry::Paused ? 1 : 0);
    if (slot >= 0)
        emit deleteSlot(slot);
    else
        Prompt::critical(this, tr("Cannot abort"), tr("Cannot abort current operation."));
}

void Zelt_QueueTableWidget::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    horizontalHeader()->setStretchLastSection(true);
    const int w = width();
    const int shares[] = {
        w / 100,      w * 20 / 100, qMax(100, w * 5 / 100), qMax(100, w * 5 / 100),
        w * 30 / 100, w * 10 / 100};
    for (int column = 0; column < columnCount(); ++column)
        setColumnWidth(column, shares[column]);
}

void Zelt_QueueTableWidget::contextMenuEvent(QContextMenuEvent *event)
{
    const int row = rowAt(event->pos().y());
    if (row < 0 || row >= shown.size() ||
        (shown.at(row).status != S3QueueEntry::Failed &&
         shown.at(row).status != S3QueueEntry::Interrupted))
        return;
    QMenu menu(this);
    const QAction *retry = menu.addAction(tr("Retry"));
    const QAction *remove = menu.addAction(tr("Remove"));
    const QAction *chosen = menu.exec(event->globalPos());
    if (chosen == retry)
        emit retryRow(row);
    else if (chosen == remove)
        emit removeRow(row);
}
