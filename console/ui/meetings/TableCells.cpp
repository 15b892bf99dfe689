#include "TableCells.h"

#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>

#include <algorithm>

QLabel *newTableIcon(const QString &image)
{
    auto *label = new QLabel;
    label->setPixmap(
        QPixmap(image).scaled(17, 17, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

int widthAtLeastHeader(const QTableWidget *table, int column, double width)
{
    return std::max(int(width), table->horizontalHeader()->sectionSizeHint(column));
}

void fitToTexts(QTableWidget *table, int column)
{
    const int before = table->columnWidth(column);
    table->resizeColumnToContents(column);
    if (table->columnWidth(column) < before)
        table->setColumnWidth(column, before);
}
