#include "Zelt_LogfileDialog.h"

#include "Zelt_MeetingsInfoThread.h"
#include "ui_Zelt_LogfileDialog.h"

#include <QPushButton>
#include <QScrollBar>

Zelt_LogfileDialog::Zelt_LogfileDialog(Zelt_MeetingsInfoThread *infoThread, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_LogfileDialogClass>()), infoThread(infoThread),
      refreshTimer(this)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->buttonBox->button(QDialogButtonBox::Cancel)->hide();
    refreshTimer.setObjectName(QStringLiteral("refreshTimer"));
    refreshTimer.setInterval(1000);
    connect(&refreshTimer, &QTimer::timeout, this, &Zelt_LogfileDialog::autoUpdate);
    connect(infoThread, &Zelt_MeetingsInfoThread::serviceLog, this, &Zelt_LogfileDialog::setLog);
    connect(infoThread, &Zelt_MeetingsInfoThread::mirrorLog, this, &Zelt_LogfileDialog::setLog);
    connect(ui->teLogfile->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &Zelt_LogfileDialog::disableAutoScroll);
}

Zelt_LogfileDialog::~Zelt_LogfileDialog() = default;

void Zelt_LogfileDialog::showMirrorLog(const QString &meetingKey)
{
    run(meetingKey, tr("Mirror Server Logfile - Meeting %1").arg(meetingKey));
}

void Zelt_LogfileDialog::showServiceLog()
{
    run(QString(), tr("Service Logfile"));
}

void Zelt_LogfileDialog::run(const QString &meetingKey, const QString &title)
{
    meetingId = meetingKey;
    follow.restart();
    setWindowTitle(title);
    setLog(tr("Loading, please wait."));
    autoUpdate();
    if (ui->chkAutoUpdate->isChecked())
        refreshTimer.start();
    exec();
}

void Zelt_LogfileDialog::autoUpdate()
{
    const int lines = ui->spnLines->value();
    if (meetingId.isEmpty())
        infoThread->getServiceLog(lines);
    else
        infoThread->getMirrorLog(meetingId, lines);
}

void Zelt_LogfileDialog::setLog(QString log)
{
    // The whole replacement runs without handing control to the event loop: the scroll range
    // follows the new text at once, and no other update or user scroll can land in between and
    // be taken for part of it.
    const LogFollow::Replacing replacing(follow);
    QPlainTextEdit *view = ui->teLogfile;
    const int horizontal = view->horizontalScrollBar()->value();
    const int vertical = view->verticalScrollBar()->value();
    // Replaced as a whole: inserting at the cursor would scroll to it afterwards.
    view->setPlainText(log);
    if (follow.follows()) {
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    } else {
        view->horizontalScrollBar()->setValue(horizontal);
        view->verticalScrollBar()->setValue(vertical);
    }
}

void Zelt_LogfileDialog::disableAutoScroll(int)
{
    follow.scrollBarMoved();
}

void Zelt_LogfileDialog::on_chkAutoUpdate_stateChanged(int arg1)
{
    if (arg1 == Qt::Checked)
        refreshTimer.start();
    else
        refreshTimer.stop();
}

void Zelt_LogfileDialog::on_Zelt_LogfileDialog_finished(int)
{
    refreshTimer.stop();
}
