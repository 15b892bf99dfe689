#pragma once

#include "AttendanceRecords.h"

#include <QDialog>

#include <memory>

class AttendanceMonitor;
namespace Ui {
class Zelt_AttendanceDialogClass;
}

// A meeting's attendance: its sessions, for each the participants (sortable), a chart of
// participants and talkers over time and a CSV export, and the floor map of the running
// meeting. It follows the polls while open.
class Zelt_AttendanceDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_AttendanceDialog(AttendanceMonitor *monitor, QWidget *parent);
    ~Zelt_AttendanceDialog() override;

    void showMeeting(const QString &meetingKey, const QString &meetingId);
    QString shownMeeting() const { return meetingKey; }
    // Marks the participant on the map, as the members table selected them.
    void selectParticipant(qint32 clientId);

signals:
    // The user picked a participant of the running meeting on the map.
    void participantChosen(QString meetingKey, qint32 clientId);

private slots:
    void onRecorded();
    void showSession();
    void exportCsv();

private:
    void listSessions();
    void showRows(const AttendanceSession &session, const QList<AttendanceRow> &rows);
    QString sessionText(const AttendanceSession &session) const;
    std::optional<AttendanceSession> currentSession() const;

    std::unique_ptr<Ui::Zelt_AttendanceDialogClass> ui;
    AttendanceMonitor *monitor;
    QString meetingKey;
    QString meetingId;
    QList<AttendanceSession> sessions;
};
