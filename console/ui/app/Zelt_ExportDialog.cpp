#include "Zelt_ExportDialog.h"

#include "Prompt.h"
#include "ui_Zelt_ExportDialog.h"

#include <QStandardPaths>

using Zelt_Service_API::ZeltMeetingInfo;

Zelt_ExportDialog::Zelt_ExportDialog(const ZeltMeetingInfo *info, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_ExportDialogClass>()), info(info)
{
    ui->setupUi(this);
    setWindowTitle(info ? tr("Export Meeting %1").arg(info->meetingId()) : tr("Export Meetings"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

Zelt_ExportDialog::~Zelt_ExportDialog() = default;

void Zelt_ExportDialog::on_buttonBox_accepted()
{
    accepted = true;
    chosen.assets = ui->chkAssets->isChecked();
    chosen.urls = ui->chkURLs->isChecked();
    chosen.assetBundles = ui->chkAssetBundles->isChecked();
    chosen.spawnPoints = ui->chkSpawnPoints->isChecked();
    if (info)
        exportToChosenFile();
    accept();
}

void Zelt_ExportDialog::on_buttonBox_rejected()
{
    accepted = false;
    reject();
}

void Zelt_ExportDialog::exportToChosenFile()
{
    const QString chosenName = Prompt::current().saveFileName(
        this, tr("Save meeting components to file"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        ComponentsFile::fileFilter(), Prompt::Overwrite::Confirm);
    if (chosenName.isEmpty())
        return;
    const QString fileName = ComponentsFile::withExtension(chosenName);
    if (!writeFile(*info, fileName)) {
        Prompt::critical(this, tr("Error writing export file"),
                         tr("Export file could not be opened."));
        return;
    }
    Prompt::information(this, tr("Meeting exported"),
                        tr("Meeting components exported to %1.").arg(fileName));
}

bool Zelt_ExportDialog::writeFile(const ZeltMeetingInfo &meeting, const QString &fileName,
                                  QString *error) const
{
    return ComponentsFile::save(fileName, ComponentsFile::write(meeting, chosen), error);
}
