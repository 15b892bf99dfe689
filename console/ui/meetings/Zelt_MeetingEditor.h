#pragma once

#include "meeting/ZeltMeeting.h"

#include <QDialog>

#include <memory>

class QAbstractButton;
struct MeetingForm;
struct Zelt_LoginData;
namespace Ui {
class Zelt_MeetingEditorClass;
}

// Defines a new meeting or changes one. Writes into the caller's meeting only on OK; the caller
// sends it when exec() answers Accepted.
class Zelt_MeetingEditor : public QDialog
{
    Q_OBJECT

public:
    enum Mode
    {
        Create = 0,
        Modify = 1
    };

    Zelt_MeetingEditor(QWidget *parent, Zelt_MeetingService_API::ZeltMeeting *meeting, int mode);
    ~Zelt_MeetingEditor() override;

    // The creator of a new meeting: uses id and userId.
    void setLoginData(const Zelt_LoginData *data) { loginData = data; }

    // Focusing the masked password empties it, so that leaving it empty removes the password.
    bool eventFilter(QObject *object, QEvent *event) override;
    // Kept for the form's members table, which this dialog does not show.
    void on_tblMeetingMembers_itemSelectionChanged() {}

public slots:
    void onSetupUI();
    void on_buttonBox_clicked(QAbstractButton *button);
    void on_cmbVoiceMode_currentIndexChanged(int index);

private:
    MeetingForm enteredForm() const;

    std::unique_ptr<Ui::Zelt_MeetingEditorClass> ui;
    Zelt_MeetingService_API::ZeltMeeting *meeting;
    int mode;
    const Zelt_LoginData *loginData = nullptr;
};
