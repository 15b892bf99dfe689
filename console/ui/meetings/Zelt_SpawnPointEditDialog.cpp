#include "Zelt_SpawnPointEditDialog.h"

#include "Prompt.h"
#include "SpawnPointRules.h"
#include "Zelt_MeetingsInfoThread.h"
#include "ui_Zelt_SpawnPointEditDialog.h"

#include <QDoubleValidator>
#include <QPushButton>

using Zelt_Service_API::ZeltDefVector3;
using Zelt_Service_API::ZeltMeetingInfo;
using Zelt_Service_API::ZeltSpawnPoint;

Zelt_SpawnPointEditDialog::Zelt_SpawnPointEditDialog(int index, const ZeltMeetingInfo &info,
                                                     Zelt_MeetingsInfoThread *infoThread,
                                                     QWidget *parent)
    : Zelt_SpawnPointEditDialog(index, SpawnPointRules::newTitle(index), info, infoThread, parent)
{
}

Zelt_SpawnPointEditDialog::Zelt_SpawnPointEditDialog(const ZeltSpawnPoint &point,
                                                     const ZeltMeetingInfo &info,
                                                     Zelt_MeetingsInfoThread *infoThread,
                                                     QWidget *parent)
    : Zelt_SpawnPointEditDialog(point.id(), point.name(), info, infoThread, parent)
{
    showVectors(point.position(), point.rotation());
}

Zelt_SpawnPointEditDialog::Zelt_SpawnPointEditDialog(int index, const QString &title,
                                                     const ZeltMeetingInfo &info,
                                                     Zelt_MeetingsInfoThread *infoThread,
                                                     QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_SpawnPointEditDialogClass>()), index(index),
      info(info), infoThread(infoThread), validator(new QDoubleValidator(this))
{
    ui->setupUi(this);
    // The fields are read back with the C locale, so they must not accept a decimal comma.
    validator->setLocale(QLocale::c());
    for (QLineEdit *field : coordinateFields())
        field->setValidator(validator);
    connect(infoThread, &Zelt_MeetingsInfoThread::playerPos, this,
            &Zelt_SpawnPointEditDialog::onPlayerPos);
    connect(infoThread, &Zelt_MeetingsInfoThread::meetingsInfo, this,
            &Zelt_SpawnPointEditDialog::onMeetingsInfo);
    fillPlayers();
    ui->leId->setText(SpawnPointRules::idText(index));
    ui->leTitle->setText(title);
    on_leTitle_textChanged(title);
}

Zelt_SpawnPointEditDialog::~Zelt_SpawnPointEditDialog() = default;

QList<QLineEdit *> Zelt_SpawnPointEditDialog::coordinateFields() const
{
    return {ui->lePosX, ui->lePosY, ui->lePosZ, ui->leRotX, ui->leRotY, ui->leRotZ};
}

void Zelt_SpawnPointEditDialog::accept()
{
    for (QLineEdit *field : coordinateFields()) {
        if (SpawnPointRules::coordinate(field->text()))
            continue;
        Prompt::warning(this, tr("Invalid coordinate"),
                        tr("%1 is out of range: a coordinate lies between -%2 and %2.")
                            .arg(field->text(), SpawnPointRules::coordinateLimit()));
        field->setFocus();
        field->selectAll();
        return;
    }
    QDialog::accept();
}

void Zelt_SpawnPointEditDialog::on_leTitle_textChanged(QString arg1)
{
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!arg1.isEmpty());
}

void Zelt_SpawnPointEditDialog::fillPlayers()
{
    QComboBox *players = ui->cmbPlayers;
    const QVariant selected = players->currentData();
    players->clear();
    for (const auto &client : info.clients())
        players->addItem(SpawnPointRules::playerText(client), client.id());
    if (selected.isValid())
        players->setCurrentIndex(qMax(0, players->findData(selected)));
    players->setEnabled(players->count() > 0);
}

void Zelt_SpawnPointEditDialog::onMeetingsInfo(QMap<QString, ZeltMeetingInfo> map)
{
    // The map is keyed by the meeting id in lower case.
    const auto current = map.constFind(info.meetingId().toLower());
    if (current != map.constEnd())
        info = *current;
    fillPlayers();
}

void Zelt_SpawnPointEditDialog::on_btnLoadPos_clicked()
{
    const int player = ui->cmbPlayers->currentData().toInt();
    infoThread->sendMeetingCommand(info.meetingId(), QStringLiteral("GetPlayerPos"),
                                   {QString::number(player)});
}

void Zelt_SpawnPointEditDialog::onPlayerPos(ZeltSpawnPoint pnt)
{
    showVectors(pnt.position(), pnt.rotation());
}

void Zelt_SpawnPointEditDialog::showVectors(const ZeltDefVector3 &position,
                                            const ZeltDefVector3 &rotation)
{
    ui->lePosX->setText(SpawnPointRules::number(position.x()));
    ui->lePosY->setText(SpawnPointRules::number(position.y()));
    ui->lePosZ->setText(SpawnPointRules::number(position.z()));
    ui->leRotX->setText(SpawnPointRules::number(rotation.x()));
    ui->leRotY->setText(SpawnPointRules::number(rotation.y()));
    ui->leRotZ->setText(SpawnPointRules::number(rotation.z()));
}

ZeltSpawnPoint Zelt_SpawnPointEditDialog::spawnPoint() const
{
    ZeltSpawnPoint point;
    point.setId(index);
    point.setName(ui->leTitle->text());
    point.setPosition(
        SpawnPointRules::vector(ui->lePosX->text(), ui->lePosY->text(), ui->lePosZ->text()));
    point.setRotation(
        SpawnPointRules::vector(ui->leRotX->text(), ui->leRotY->text(), ui->leRotZ->text()));
    return point;
}
