#include "Zelt_AttendanceDialog.h"

#include "AttendanceCsv.h"
#include "AttendanceMonitor.h"
#include "Prompt.h"
#include "ui_Zelt_AttendanceDialog.h"

#include <QDir>
#include <QHeaderView>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
enum Column
{
    Alias,
    User,
    Role,
    FirstSeen,
    LastSeen,
    Present,
    Talking,
    RoleChanges,
    Joins,
    ColumnCount
};

// Sorts by the value behind the text (times, durations, counts), not by the text.
class SortableItem : public QTableWidgetItem
{
public:
    SortableItem(const QString &text, const QVariant &key) : QTableWidgetItem(text)
    {
        setData(Qt::UserRole, key);
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant mine = data(Qt::UserRole);
        const QVariant theirs = other.data(Qt::UserRole);
        if (mine.typeId() == QMetaType::QString)
            return mine.toString().localeAwareCompare(theirs.toString()) < 0;
        return mine.toLongLong() < theirs.toLongLong();
    }
};

QString duration(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

Zelt_AttendanceDialog::Zelt_AttendanceDialog(AttendanceMonitor *monitor, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_AttendanceDialogClass>()), monitor(monitor)
{
    ui->setupUi(this);
    ui->tblAttendance->setColumnCount(ColumnCount);
    ui->tblAttendance->setHorizontalHeaderLabels({tr("Alias"), tr("User"), tr("Role"),
                                                  tr("First seen"), tr("Last seen"), tr("Present"),
                                                  tr("Talking"), tr("Role changes"), tr("Joins")});
    ui->tblAttendance->verticalHeader()->hide();
    ui->tblAttendance->sortByColumn(FirstSeen, Qt::AscendingOrder);
    ui->splitSessions->setStretchFactor(1, 3);
    // The session names are short; the participants' columns take the rest.
    ui->splitSessions->setSizes({200, 900});
    ui->layoutFloorMap->setStretch(0, 1);
    connect(ui->lstSessions, &QListWidget::currentRowChanged, this,
            &Zelt_AttendanceDialog::showSession);
    connect(ui->btnExportCsv, &QPushButton::clicked, this, &Zelt_AttendanceDialog::exportCsv);
    connect(monitor, &AttendanceMonitor::recorded, this, &Zelt_AttendanceDialog::onRecorded);
    connect(ui->floorMap, &FloorMapView::participantChosen, this,
            [this](qint32 clientId) { emit participantChosen(meetingKey, clientId); });
}

Zelt_AttendanceDialog::~Zelt_AttendanceDialog() = default;

void Zelt_AttendanceDialog::showMeeting(const QString &key, const QString &id)
{
    if (key != meetingKey)
        ui->lstSessions->clear();
    meetingKey = key;
    meetingId = id;
    setWindowTitle(tr("Attendance of %1").arg(id));
    onRecorded();
}

void Zelt_AttendanceDialog::selectParticipant(qint32 clientId)
{
    ui->floorMap->selectParticipant(clientId);
}

void Zelt_AttendanceDialog::onRecorded()
{
    if (meetingKey.isEmpty())
        return;
    listSessions();
    const auto running = monitor->lastPoll().running.constFind(meetingKey);
    const bool isRunning = running != monitor->lastPoll().running.constEnd();
    ui->floorMap->setMeeting(isRunning ? *running : SeenMeeting());
    ui->tabAttendance->setTabEnabled(ui->tabAttendance->indexOf(ui->tabFloorMap), isRunning);
}

QString Zelt_AttendanceDialog::sessionText(const AttendanceSession &session) const
{
    const QLocale locale;
    const QString start = locale.toString(session.started, QLocale::ShortFormat);
    if (session.isOpen())
        return tr("%1 (running)").arg(start);
    return tr("%1 to %2").arg(start, locale.toString(session.ended.time(), QLocale::ShortFormat));
}

void Zelt_AttendanceDialog::listSessions()
{
    const QString current = currentSession() ? currentSession()->id : QString();
    sessions = monitor->store().sessions(meetingKey);
    QSignalBlocker blocker(ui->lstSessions);
    int row = sessions.isEmpty() ? -1 : 0;
    ui->lstSessions->clear();
    for (int i = 0; i < sessions.size(); ++i) {
        ui->lstSessions->addItem(sessionText(sessions.at(i)));
        if (sessions.at(i).id == current)
            row = i;
    }
    ui->lstSessions->setCurrentRow(row);
    blocker.unblock();
    showSession();
}

std::optional<AttendanceSession> Zelt_AttendanceDialog::currentSession() const
{
    const int row = ui->lstSessions->currentRow();
    if (row < 0 || row >= sessions.size())
        return std::nullopt;
    return sessions.at(row);
}

void Zelt_AttendanceDialog::showSession()
{
    const auto session = currentSession();
    ui->btnExportCsv->setEnabled(session.has_value());
    if (!session) {
        ui->tblAttendance->setRowCount(0);
        ui->chart->setSamples({});
        ui->lblSummary->setText(tr("No sessions recorded for this meeting yet."));
        return;
    }
    const QList<AttendanceRow> rows = monitor->store().rows(session->id);
    showRows(*session, rows);
    ui->chart->setSamples(monitor->store().samples(session->id));
    ui->lblSummary->setText(rows.size() == 1 ? tr("1 participant")
                                             : tr("%1 participants").arg(rows.size()));
}

void Zelt_AttendanceDialog::showRows(const AttendanceSession &session,
                                     const QList<AttendanceRow> &rows)
{
    QTableWidget *table = ui->tblAttendance;
    const QLocale locale;
    // Columns are fitted once per session shown, not at every poll (300 rows).
    const bool newSession = table->property("session").toString() != session.id;
    table->setProperty("session", session.id);
    table->setUpdatesEnabled(false);
    table->setSortingEnabled(false);
    table->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const AttendanceRow &row = rows.at(i);
        const int present = row.presentPolls * session.pollSeconds;
        const int talking = row.talkingPolls * session.pollSeconds;
        const QList<QTableWidgetItem *> items = {
            new SortableItem(row.alias, row.alias),
            new SortableItem(row.user, row.user),
            new SortableItem(row.role, row.role),
            new SortableItem(locale.toString(row.firstSeen.time(), QLocale::LongFormat),
                             row.firstSeen.toMSecsSinceEpoch()),
            new SortableItem(locale.toString(row.lastSeen.time(), QLocale::LongFormat),
                             row.lastSeen.toMSecsSinceEpoch()),
            new SortableItem(duration(present), present),
            new SortableItem(duration(talking), talking),
            new SortableItem(QString::number(row.roleChanges), row.roleChanges),
            new SortableItem(QString::number(row.joins), row.joins)};
        for (int column = 0; column < ColumnCount; ++column)
            table->setItem(i, column, items.at(column));
    }
    table->setSortingEnabled(true);
    if (newSession)
        table->resizeColumnsToContents();
    table->setUpdatesEnabled(true);
}

void Zelt_AttendanceDialog::exportCsv()
{
    const auto session = currentSession();
    if (!session)
        return;
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("%1-%2.csv")
                          .arg(session->meetingId,
                               session->started.toString(QStringLiteral("yyyyMMdd-HHmm"))));
    const QString path =
        Prompt::current().saveFileName(this, tr("Export Attendance"), suggested,
                                       tr("CSV files (*.csv)"), Prompt::Overwrite::Confirm);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(AttendanceCsv::write(*session, monitor->store().rows(session->id))) < 0 ||
        !file.commit()) {
        Prompt::critical(this, tr("Export Attendance"),
                         tr("%1 could not be written:\n%2").arg(path, file.errorString()));
    }
}
