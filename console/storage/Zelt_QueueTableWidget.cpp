#include "Zelt_QueueTableWidget.h"

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
