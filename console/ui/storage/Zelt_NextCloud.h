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
    void clearSelection() {}
    // The account of the last refresh, for assets that point into it.
    QString userName() const { return {}; }
    QString password() const { return {}; }

signals:
    void itemClicked();
    void itemDoubleClicked();
};
