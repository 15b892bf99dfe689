#pragma once

#include "ComponentRows.h"

#include <QGroupBox>

#include <functional>
#include <memory>
#include <optional>

class QTableWidgetItem;
namespace Ui {
class Zelt_ComponentsClass;
}

// The "Components" group: what the selected meeting shows (files, URL placeholders, an asset
// bundle) and the buttons that change it. It shows rows and reports clicks; what they do is the
// components controller's business.
class Zelt_Components : public QGroupBox
{
    Q_OBJECT

public:
    // A table row as the operations see it: the asset id, or for the bundle row its bundle id.
    struct RowRef
    {
        qint32 id = ComponentRows::BundleRowId;
        QString bundleId;
    };
    using FileIconRule = std::function<void(QTableWidgetItem *, const QString &)>;

    explicit Zelt_Components(QWidget *parent = nullptr);
    ~Zelt_Components() override;

    // Properties, Export and Import are for administrators only.
    void setAdministrator(bool administrator);
    bool propertiesAvailable() const;
    // Id and Size fit their content; Name and Path share the rest of the width.
    void setUpColumns();
    // Sets a file's icon in the Name column by its name (the storage browser's rule).
    void setFileIconRule(FileIconRule rule) { fileIconRule = std::move(rule); }

    // Rebuilds the table; the current row, or the one named by selectAfterRebuild, stays
    // selected.
    void showRows(const QList<ComponentRows::Row> &rows);
    // Adds the row, or replaces the one with the same id.
    void putRow(const ComponentRows::Row &row);
    void clearRows();
    void selectAfterRebuild(qint32 id) { pendingSelection = id; }
    void removeRows(qint32 id);
    void clearCurrent();

    std::optional<RowRef> currentRow() const;
    // One entry per selected row, top to bottom.
    QList<RowRef> selectedRows() const;
    QList<RowRef> allRows() const;

    // Custom URL and Add as the caller decides; Remove and Properties need selected cells,
    // Remove All needs rows.
    void setButtonStates(bool customUrlEnabled, bool addEnabled);

signals:
    void addClicked();
    void customUrlClicked();
    void propertiesReleased();
    void removeClicked();
    void removeAllClicked();
    void exportRequested();
    void importRequested();
    void rowDoubleClicked();
    void selectionChanged();

private:
    RowRef refOf(int row) const;
    int rowOf(qint32 id) const;
    void fillRow(int row, const ComponentRows::Row &content);
    void selectId(qint32 id);

    std::unique_ptr<Ui::Zelt_ComponentsClass> ui;
    FileIconRule fileIconRule;
    std::optional<qint32> pendingSelection;
};
