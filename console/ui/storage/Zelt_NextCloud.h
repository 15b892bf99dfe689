#pragma once

#include <QList>
#include <QWidget>

class QTableWidgetItem;

// The Nextcloud storage browser.
class Zelt_NextCloud : public QWidget
{
    Q_OBJECT

public:
    explicit Zelt_NextCloud(QWidget *parent = nullptr);

    QList<QTableWidgetItem *> selectedItems() const { return {}; }

signals:
    void itemClicked();
    void itemDoubleClicked();
};
