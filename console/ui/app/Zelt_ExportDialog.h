#pragma once

#include "ComponentsFile.h"
#include "service/ZeltMeetingInfo.h"

#include <QDialog>

#include <memory>

namespace Ui {
class Zelt_ExportDialogClass;
}

// Asks which kinds of components to export. Over one meeting, OK also asks for the file and
// writes it; without a meeting the caller writes the files with the choices made.
class Zelt_ExportDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_ExportDialog(const Zelt_Service_API::ZeltMeetingInfo *info, QWidget *parent = nullptr);
    ~Zelt_ExportDialog() override;

    bool isAccepted() const { return accepted; }
    ComponentChoices choices() const { return chosen; }

    // Writes the chosen components of info to fileName; false (and why, into error) when it
    // cannot.
    bool writeFile(const Zelt_Service_API::ZeltMeetingInfo &info, const QString &fileName,
                   QString *error = nullptr) const;

private slots:
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();

private:
    void exportToChosenFile();

    std::unique_ptr<Ui::Zelt_ExportDialogClass> ui;
    const Zelt_Service_API::ZeltMeetingInfo *info;
    bool accepted = false;
    ComponentChoices chosen;
};
