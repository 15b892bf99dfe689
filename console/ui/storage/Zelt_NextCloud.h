#pragma once

#include "NextCloudTree.h"

#include <QList>
#include <QWidget>

#include <memory>

class NextCloudQuery;
class QTableWidgetItem;
class QTreeWidgetItem;

namespace Ui {
class Zelt_NextCloudClass;
}

// The Nextcloud storage browser: the user's folders as a tree, the files of the clicked one in
// a table. A refresh lists the whole tree with one PROPFIND request; the window stays usable
// while it runs.
class Zelt_NextCloud : public QWidget
{
    Q_OBJECT

public:
    explicit Zelt_NextCloud(QWidget *parent = nullptr);
    ~Zelt_NextCloud() override;

    // The account of the last refresh, for assets that point into it.
    QString userName() const { return user; }
    QString password() const { return pass; }

public slots:
    void on_btnRefresh_clicked();
    void on_treeWidget_itemClicked(QTreeWidgetItem *itm, int col);
    void on_tableWidget_itemClicked(QTableWidgetItem *item);
    void on_tableWidget_itemDoubleClicked(QTableWidgetItem *item);
    // The first-column item of every selected row.
    QList<QTableWidgetItem *> selectedItems() const;
    void clearSelection();

signals:
    void itemClicked();
    void itemDoubleClicked();
    // A refresh has ended and the tree shows its result (empty when it failed).
    void refreshed();

private:
    // The tree of a refresh, or none when it failed.
    void showTree(const NextCloudTree *tree);

    std::unique_ptr<Ui::Zelt_NextCloudClass> ui;
    NextCloudQuery *query = nullptr;
    QString url;
    QString user;
    QString pass;
    qint32 depth = 10;
    qint32 timeout = 30000;
};
