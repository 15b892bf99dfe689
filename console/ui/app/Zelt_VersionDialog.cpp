#include "Zelt_VersionDialog.h"

#include "VersionNumber.h"
#include "ui_Zelt_VersionDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>

Zelt_VersionDialog::Zelt_VersionDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_VersionDialogClass>())
{
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Cancel)->hide();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    activateWindow();

    ui->lblVersion->setText(tr("Vorel Console") + QStringLiteral(" V") +
                            ConsoleVersion::current().dotted());

    // A distributor may ship its own notice beside the program.
    QFile notice(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("copyright.txt")));
    if (notice.open(QIODevice::ReadOnly))
        ui->lblCopyright->setText(QString::fromUtf8(notice.readAll()));
}

Zelt_VersionDialog::~Zelt_VersionDialog() = default;
