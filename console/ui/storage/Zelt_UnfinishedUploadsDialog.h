#pragma once

#include "UnfinishedUpload.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// The multipart uploads of the user's folder that no transfer goes on with, with their age
// and what they hold so far; the chosen ones can be aborted to free their space.
class Zelt_UnfinishedUploadsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit Zelt_UnfinishedUploadsDialog(QWidget *parent = nullptr);

public slots:
    void showUploads(QList<UnfinishedUpload> uploads);
    void showFailure(const QString &message);

signals:
    // The user confirmed aborting these; a new listing is asked for after them.
    void abortChosen(QList<UnfinishedUpload> uploads);

private:
    void abortSelected();
    // How long ago an upload was begun, in its largest whole unit.
    static QString ageText(qint64 seconds);

    QLabel *status;
    QTableWidget *table;
    QPushButton *abortButton;
    QList<UnfinishedUpload> listed;
};
