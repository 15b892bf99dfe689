#include "Zelt_NextCloud.h"

#include "NextCloudQuery.h"
#include "ui_Zelt_NextCloud.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QShortcut>
#include <QStyle>

Zelt_NextCloud::Zelt_NextCloud(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Zelt_NextCloudClass>()),
      query(new NextCloudQuery(this))
{
    ui->setupUi(this);
    // File names need the room; the size column only as much as its header.
    QHeaderView *columns = ui->tableWidget->horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(0, QHeaderView::Stretch);
    columns->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(ui->lePass, &QLineEdit::returnPressed, ui->btnRefresh, &QToolButton::click);
    new QShortcut(QKeySequence(Qt::Key_F5), this, ui->btnRefresh, &QToolButton::click,
                  Qt::WidgetWithChildrenShortcut);
    connect(query, &NextCloudQuery::listed, this,
            [this](const NextCloudTree &tree) { showTree(&tree); });
    connect(query, &NextCloudQuery::failed, this, [this] { showTree(nullptr); });
}

Zelt_NextCloud::~Zelt_NextCloud() = default;

void Zelt_NextCloud::on_btnRefresh_clicked()
{
    if (query->isRunning())
        return;
    url = ui->leUrl->text();
    user = ui->leUser->text();
    pass = ui->lePass->text();
    if (!query->start({url, user, pass}, depth, timeout)) {
        showTree(nullptr);
        return;
    }
    ui->btnRefresh->setEnabled(false);
    setCursor(Qt::BusyCursor);
}

void Zelt_NextCloud::showTree(const NextCloudTree *tree)
{
    ui->treeWidget->clear();
    if (tree) {
        const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
        QList<QTreeWidgetItem *> items;
        items.reserve(tree->folders.size());
        for (const NextCloudTree::Folder &folder : tree->folders) {
            auto *item = new QTreeWidgetItem;
            if (folder.parent < 0) {
                item->setText(0, QStringLiteral("NextCloud - ") + user);
            } else {
                items.at(folder.parent)->addChild(item);
                item->setText(0, folder.name);
                item->setIcon(0, folderIcon);
            }
            item->setData(0, Qt::UserRole, folder.files);
            items.append(item);
        }
        ui->treeWidget->addTopLevelItem(items.first());
        ui->treeWidget->expandAll();
    }
    ui->tableWidget->setRowCount(0);
    ui->btnRefresh->setEnabled(true);
    unsetCursor();
    emit refreshed();
}

void Zelt_NextCloud::on_treeWidget_itemClicked(QTreeWidgetItem *itm, int col)
{
    Q_UNUSED(col);
    const QJsonArray files = itm->data(0, Qt::UserRole).toJsonArray();
    const QIcon fileIcon(QStringLiteral(":/Zelt_ServerApp/fbx.ico"));
    ui->tableWidget->setRowCount(0);
    ui->tableWidget->setRowCount(int(files.size()));
    for (int row = 0; row < files.size(); ++row) {
        const QJsonObject file = files.at(row).toObject();
        auto *name = new QTableWidgetItem(fileIcon, file.value(QStringLiteral("name")).toString());
        name->setData(Qt::UserRole, file);
        auto *size = new QTableWidgetItem(NextCloudTree::megabytesText(
            file.value(QStringLiteral("size")).toString().toLongLong()));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui->tableWidget->setItem(row, 0, name);
        ui->tableWidget->setItem(row, 1, size);
        ui->tableWidget->setRowHeight(row, 20);
    }
}

void Zelt_NextCloud::on_tableWidget_itemClicked(QTableWidgetItem *item)
{
    Q_UNUSED(item);
    emit itemClicked();
}

void Zelt_NextCloud::on_tableWidget_itemDoubleClicked(QTableWidgetItem *item)
{
    Q_UNUSED(item);
    emit itemDoubleClicked();
}

QList<QTableWidgetItem *> Zelt_NextCloud::selectedItems() const
{
    QList<QTableWidgetItem *> items;
    const QModelIndexList rows = ui->tableWidget->selectionModel()->selectedRows(0);
    for (const QModelIndex &row : rows)
        if (QTableWidgetItem *item = ui->tableWidget->item(row.row(), 0))
            items.append(item);
    return items;
}

void Zelt_NextCloud::clearSelection()
{
    ui->tableWidget->clearSelection();
}
