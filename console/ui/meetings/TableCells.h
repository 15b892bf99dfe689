#pragma once

class QLabel;
class QString;

// Cells and columns shared by the meetings panel's tables.

// An image for a table cell: a label showing it at 17 by 17 pixels, centred.
QLabel *newTableIcon(const QString &image);

class QTableWidget;

// A share of the table's width, but never narrower than the column's header text.
int widthAtLeastHeader(const QTableWidget *table, int column, double width);
// Widens the column until its texts fit; it never shrinks.
void fitToTexts(QTableWidget *table, int column);
