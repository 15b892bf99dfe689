#pragma once

#include "service/ZeltMeetingInfo.h"

#include <QDialog>
#include <QMap>

#include <memory>

class QDoubleValidator;
class QLineEdit;
class Zelt_MeetingsInfoThread;
namespace Ui {
class Zelt_SpawnPointEditDialogClass;
}

// Creates or changes one spawn point. The position and view direction can be taken from a
// participant of the running meeting; the list of participants follows the live polls.
class Zelt_SpawnPointEditDialog : public QDialog
{
    Q_OBJECT

public:
    // A new point that will stand at index in the list.
    Zelt_SpawnPointEditDialog(int index, const Zelt_Service_API::ZeltMeetingInfo &info,
                              Zelt_MeetingsInfoThread *infoThread, QWidget *parent = nullptr);
    Zelt_SpawnPointEditDialog(const Zelt_Service_API::ZeltSpawnPoint &point,
                              const Zelt_Service_API::ZeltMeetingInfo &info,
                              Zelt_MeetingsInfoThread *infoThread, QWidget *parent = nullptr);
    ~Zelt_SpawnPointEditDialog() override;

    // The point as the form describes it.
    Zelt_Service_API::ZeltSpawnPoint spawnPoint() const;

public slots:
    // Refuses to close while a coordinate lies beyond what the service can store.
    void accept() override;
    void on_btnLoadPos_clicked();
    void onPlayerPos(Zelt_Service_API::ZeltSpawnPoint pnt);
    void onMeetingsInfo(QMap<QString, Zelt_Service_API::ZeltMeetingInfo> map);
    void on_leTitle_textChanged(QString arg1);

private:
    Zelt_SpawnPointEditDialog(int index, const QString &title,
                              const Zelt_Service_API::ZeltMeetingInfo &info,
                              Zelt_MeetingsInfoThread *infoThread, QWidget *parent);
    QList<QLineEdit *> coordinateFields() const;
    void fillPlayers();
    void showVectors(const Zelt_Service_API::ZeltDefVector3 &position,
                     const Zelt_Service_API::ZeltDefVector3 &rotation);

    std::unique_ptr<Ui::Zelt_SpawnPointEditDialogClass> ui;
    int index;
    Zelt_Service_API::ZeltMeetingInfo info;
    Zelt_MeetingsInfoThread *infoThread;
    QDoubleValidator *validator;
};
