#include "Zelt_QueueTableWidget.h"

#include "SizeText.h"

#include <QHeaderView>

Zelt_QueueTableWidget::Zelt_QueueTableWidget(QWidget *parent) : QTableWidget(parent)
{
    setColumnCount(6);
    setHorizontalHeaderLabels(
        {QStringLiteral(" "), tr("File"), tr("Size"), tr("Status"), tr("Remote"), tr("Local")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    horizontalHeader()->setMinimumSectionSize(15);
}

void Zelt_QueueTableWidget::showEntries(const QList<S3QueueEntry> &entries)
{
    static const QStringList marks{QStringLiteral("↑"), QStringLiteral("↓"), QStringLiteral("X"),
                                   QStringLiteral("?")};
    const QStringList statusTexts{tr("Queued"),  tr("In Progress"), tr("Paused"),
                                  tr("Skipped"), tr("Complete"),    tr("Failed")};
    const QString sizeForms[] = {tr("%1 KB"), tr("%1 MB"), tr("%1 GB")};

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
                                statusTexts.value(entry.status),
                                entry.remote,
                                folderEnd < 0 ? entry.local : entry.local.left(folderEnd)};
        for (int column = 0; column < cells.size(); ++column)
            setItem(row, column, new QTableWidgetItem(cells.at(column)));
        setRowHeight(row, 20);
    }
}
