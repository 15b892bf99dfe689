#pragma once

#include <QDialog>

#include <memory>

class QAbstractButton;
namespace Ui {
class Zelt_CustomURLInputDialogClass;
}

// Asks for a URL and the placeholder slot it takes. The answer is written to the caller's
// variables when the dialog closes: the simplified URL, the slot as asset id, and whether Ok
// was chosen.
class Zelt_CustomURLInputDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_CustomURLInputDialog(QWidget *parent, QString &url, int &id, bool &accepted);
    ~Zelt_CustomURLInputDialog() override;

public slots:
    void on_buttonBox_clicked(QAbstractButton *button);

private:
    std::unique_ptr<Ui::Zelt_CustomURLInputDialogClass> ui;
    QString &url;
    int &id;
    bool &accepted;
};
