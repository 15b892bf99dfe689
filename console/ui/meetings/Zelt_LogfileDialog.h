#pragma once

#include "LogFollow.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class Zelt_MeetingsInfoThread;
namespace Ui {
class Zelt_LogfileDialogClass;
}

// Shows the service's log or one meeting's mirror log as plain text, refreshed every second
// while Auto Update is checked. The view follows the end of the log until the user scrolls.
class Zelt_LogfileDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_LogfileDialog(Zelt_MeetingsInfoThread *infoThread, QWidget *parent = nullptr);
    ~Zelt_LogfileDialog() override;

    // Both run the dialog modally.
    void showMirrorLog(const QString &meetingKey);
    void showServiceLog();

public slots:
    void on_chkAutoUpdate_stateChanged(int arg1);
    void autoUpdate();
    void setLog(QString log);
    void on_Zelt_LogfileDialog_finished(int result);
    void disableAutoScroll(int val);

private:
    void run(const QString &meetingKey, const QString &title);

    std::unique_ptr<Ui::Zelt_LogfileDialogClass> ui;
    Zelt_MeetingsInfoThread *infoThread;
    QString meetingId; // empty for the service log
    LogFollow follow;
    QTimer refreshTimer;
};
