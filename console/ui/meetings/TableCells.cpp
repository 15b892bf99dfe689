#include "TableCells.h"

#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QTableWidget>

#include <algorithm>

namespace {
// Where an item's path of its icon is kept, to tell an unchanged icon without comparing images.
constexpr int IconPathRole = Qt::UserRole + 100;
} // namespace

QIcon tableIcon(const QString &path)
{
    static QHash<QString, QIcon> loaded;
    auto icon = loaded.find(path);
    if (icon == loaded.end())
        icon = loaded.insert(path, QIcon(path));
    return *icon;
}

void CentredIconDelegate::initStyleOption(QStyleOptionViewItem *option,
                                          const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // Above an empty text the decoration takes the cell's whole width, and is centred in it.
    option->decorationPosition = QStyleOptionViewItem::Top;
    option->decorationAlignment = Qt::AlignCenter;
}

void setCellText(QTableWidget *table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *cell = table->item(row, column)) {
        if (cell->text() != text)
            cell->setText(text);
    } else {
        table->setItem(row, column, new QTableWidgetItem(text));
    }
}

void setCellIcon(QTableWidget *table, int row, int column, const QString &path)
{
    QTableWidgetItem *cell = table->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        table->setItem(row, column, cell);
    } else if (cell->data(IconPathRole).toString() == path) {
        return;
    }
    cell->setData(IconPathRole, path);
    cell->setIcon(tableIcon(path));
}

void widenToFit(QTableWidget *table, int column, const QStringList &texts)
{
    // The item delegate's margins around a text, and some air.
    constexpr int Padding = 16;
    const QFontMetrics metrics = table->fontMetrics();
    int width = table->horizontalHeader()->sectionSizeHint(column);
    for (const QString &text : texts)
        width = std::max(width, metrics.horizontalAdvance(text) + Padding);
    if (width > table->columnWidth(column))
        table->setColumnWidth(column, width);
}

void widenToFit(QTableWidget *table, int column)
{
    QStringList texts;
    texts.reserve(table->rowCount());
    for (int row = 0; row < table->rowCount(); ++row)
        if (const QTableWidgetItem *cell = table->item(row, column))
            texts << cell->text();
    widenToFit(table, column, texts);
}
