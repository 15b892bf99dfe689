#include "Zelt_CustomURLInputDialog.h"

#include "ComponentRows.h"
#include "ui_Zelt_CustomURLInputDialog.h"

#include <QPushButton>

Zelt_CustomURLInputDialog::Zelt_CustomURLInputDialog(QWidget *parent, QString &url, int &id,
                                                     bool &accepted)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_CustomURLInputDialogClass>()), url(url), id(id),
      accepted(accepted)
{
    ui->setupUi(this);
    ui->leURL->setText(url);
    ui->spnId->setValue(id);
    accepted = false;
}

Zelt_CustomURLInputDialog::~Zelt_CustomURLInputDialog() = default;

void Zelt_CustomURLInputDialog::on_buttonBox_clicked(QAbstractButton *button)
{
    if (ui->buttonBox->buttonRole(button) == QDialogButtonBox::AcceptRole) {
        url = ui->leURL->text().simplified();
        id = ui->spnId->value() + ComponentRows::PlaceholderBase;
        accepted = true;
        accept();
    } else {
        accepted = false;
        reject();
    }
}
