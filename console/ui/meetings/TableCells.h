#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

class QIcon;
class QString;

class QTableWidget;

// Cells and columns shared by the console's tables. Cells are items, never widgets: a table of
// thousands of rows stays cheap to fill, to update on every poll and to hover over.

// The image at path as an icon, loaded once per path.
QIcon tableIcon(const QString &path);

// Draws a cell's icon centred in the cell, at the view's icon size.
class CentredIconDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// Sets a cell's text, creating its item when there is none; an equal text is left alone, so
// that an unchanged cell costs the view nothing.
void setCellText(QTableWidget *table, int row, int column, const QString &text);
// Sets a cell's icon from an image path; the same path again is left alone.
void setCellIcon(QTableWidget *table, int row, int column, const QString &path);

// Widens the column until the header and each of the texts fit; it never shrinks, so that a
// width the user chose, or one fitted to longer texts before, stays.
void widenToFit(QTableWidget *table, int column, const QStringList &texts);
// The same for the texts the column holds now.
void widenToFit(QTableWidget *table, int column);
