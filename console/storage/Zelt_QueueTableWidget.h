#pragma once

#include <QTableWidget>

// The transfer queue as the main window's dock shows it.
class Zelt_QueueTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    explicit Zelt_QueueTableWidget(QWidget *parent = nullptr);

signals:
    // Asks the browser to drop waiting entry number slot (0 = first waiting one).
    void deleteSlot(int slot);
};
