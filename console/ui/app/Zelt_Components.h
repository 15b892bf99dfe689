#pragma once

#include <QGroupBox>

#include <memory>

namespace Ui {
class Zelt_ComponentsClass;
}

// The "Components" group: what the selected meeting shows (files, URL placeholders, an asset
// bundle) and the buttons that change it.
class Zelt_Components : public QGroupBox
{
    Q_OBJECT

public:
    explicit Zelt_Components(QWidget *parent = nullptr);
    ~Zelt_Components() override;

    // Properties, Export and Import are for administrators only.
    void setAdministrator(bool administrator);
    // Column widths of 5, 40, 5 and 50 % of the table's current width.
    void setUpColumns();
    // Adding needs the service, a selected meeting and a selected file; removing needs rows.
    void refreshButtons(bool serviceRunning, bool meetingSelected, bool browserHasSelection);

private:
    std::unique_ptr<Ui::Zelt_ComponentsClass> ui;
};
