#pragma once

#include "S3QueueEntry.h"

#include <QList>
#include <QTableWidget>

// The transfer queue as the main window's dock shows it.
class Zelt_QueueTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    explicit Zelt_QueueTableWidget(QWidget *parent = nullptr);

    // One row of height 20 per entry: direction, file, size, status, remote key, local folder.
    // A failed entry's reason is its row's tool tip.
    void showEntries(const QList<S3QueueEntry> &entries);

private:
    QList<S3QueueEntry> shown;

protected:
    // Delete drops the selected waiting or failed entry; the running or paused one cannot be
    // dropped.
    void keyPressEvent(QKeyEvent *event) override;
    // Failed rows offer "Retry" and "Remove".
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

signals:
    // Asks the browser to drop the entry of row slot + 1, or of row slot when no entry runs
    // (0 = the first one after the running entry).
    void deleteSlot(int slot);
    void retryRow(int row);
    void removeRow(int row);
};
