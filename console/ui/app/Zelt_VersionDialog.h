#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Zelt_VersionDialogClass;
}

// The About box: the console's name and version, and the notice of the maker, which a
// "copyright.txt" beside the executable replaces.
class Zelt_VersionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit Zelt_VersionDialog(QWidget *parent = nullptr);
    ~Zelt_VersionDialog() override;

private:
    std::unique_ptr<Ui::Zelt_VersionDialogClass> ui;
};
