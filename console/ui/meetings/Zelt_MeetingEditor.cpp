#include "Zelt_MeetingEditor.h"

#include "MeetingForm.h"
#include "MeetingPassword.h"
#include "Prompt.h"
#include "Zelt_LoginData.h"
#include "ui_Zelt_MeetingEditor.h"

#include <QTimer>

using Zelt_MeetingService_API::ZeltMeeting;

Zelt_MeetingEditor::Zelt_MeetingEditor(QWidget *parent, ZeltMeeting *meeting, int mode)
    : QDialog(parent, Qt::Dialog), ui(std::make_unique<Ui::Zelt_MeetingEditorClass>()),
      meeting(meeting), mode(mode)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->cmbVoiceMode->setCurrentIndex(0);
    ui->cmbChatMode->setCurrentIndex(0);
    ui->lblVoice3D->hide();
    ui->cmbVoice3D->hide();
    ui->lePassword->installEventFilter(this);
    // Fills the form once the dialog is on screen.
    QTimer::singleShot(100, this, &Zelt_MeetingEditor::onSetupUI);
}

Zelt_MeetingEditor::~Zelt_MeetingEditor() = default;

void Zelt_MeetingEditor::onSetupUI()
{
    setWindowTitle(mode == Create ? tr("Create a new Meeting") : tr("Modify a Meeting"));
    const MeetingForm form = MeetingForm::of(*meeting);
    ui->leTitle->setText(form.title);
    ui->leDescription->setText(form.description);
    ui->cmbVoiceMode->setCurrentIndex(form.voiceMode);
    if (form.voice3D)
        ui->cmbVoice3D->setCurrentIndex(*form.voice3D);
    ui->cmbChatMode->setCurrentIndex(form.chatMode);
    ui->lePassword->setText(form.password);
    ui->lblLicense->show();
    ui->cmbLicense->show();
    ui->cmbLicense->setCurrentIndex(form.endTimeMode);
    const bool locked = MeetingForm::licenseLocked(*meeting);
    ui->cmbLicense->setEnabled(!locked);
    ui->cmbLicense->setToolTip(locked ? tr("License cannot be changed while meeting is started")
                                      : tr("Select license mode"));
}

bool Zelt_MeetingEditor::eventFilter(QObject *object, QEvent *event)
{
    if (object == ui->lePassword && event->type() == QEvent::FocusIn &&
        MeetingPassword::isMasked(ui->lePassword->text())) {
        ui->lePassword->clear();
        ui->lePassword->setModified(true);
    }
    return QDialog::eventFilter(object, event);
}

void Zelt_MeetingEditor::on_cmbVoiceMode_currentIndexChanged(int index)
{
    // 3D voice only means something while voice is on.
    ui->lblVoice3D->setVisible(index > 0);
    ui->cmbVoice3D->setVisible(index > 0);
}

MeetingForm Zelt_MeetingEditor::enteredForm() const
{
    MeetingForm form;
    form.title = ui->leTitle->text();
    form.description = ui->leDescription->text();
    form.voiceMode = ui->cmbVoiceMode->currentIndex();
    form.voice3D = ui->cmbVoice3D->currentIndex();
    form.chatMode = ui->cmbChatMode->currentIndex();
    form.endTimeMode = ui->cmbLicense->currentIndex();
    form.password = ui->lePassword->text();
    form.passwordModified = ui->lePassword->isModified();
    return form;
}

void Zelt_MeetingEditor::on_buttonBox_clicked(QAbstractButton *button)
{
    const QDialogButtonBox::ButtonRole role = ui->buttonBox->buttonRole(button);
    if (role == QDialogButtonBox::RejectRole) {
        reject();
        return;
    }
    if (role != QDialogButtonBox::AcceptRole)
        return;
    if (ui->leTitle->text().isEmpty()) {
        Prompt::critical(this, tr("Meeting Title not set"), tr("Meeting Title cannot be empty."));
        return;
    }
    const MeetingForm form = enteredForm();
    if (mode == Create)
        form.writeNew(*meeting, loginData ? loginData->userId : QString(),
                      loginData ? loginData->id : QString());
    else
        form.writeChanges(*meeting);
    accept();
}
