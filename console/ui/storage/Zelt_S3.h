#pragma once

#include "S3QueueEntry.h"

#include <QList>
#include <QString>
#include <QWidget>

class QTableWidgetItem;
struct Zelt_LoginData;

// The S3/MinIO storage browser and its transfer queue.
class Zelt_S3 : public QWidget
{
    Q_OBJECT

public:
    using fileEntry = S3QueueEntry;

    explicit Zelt_S3(QWidget *parent = nullptr);

    // The session record whose storage fields the browser uses.
    void setConfig(Zelt_LoginData *data) { config = data; }
    QList<QTableWidgetItem *> selectedItems() const { return {}; }

public slots:
    void on_btnS3Refresh_clicked();
    void setDeleteEnabled(bool enabled);
    void onDeleteSlot(int slot);

signals:
    void itemClicked();
    void itemDoubleClicked();
    void banFile();
    void startUploadDownload();
    void betweenUploadDownloads();
    void endUploadDownload();
    void transferProgress(int mode, QString bucket, QString object, qlonglong size,
                          qlonglong progress, int bytespersecond);
    void updateQueue(QList<Zelt_S3::fileEntry> files);

private:
    Zelt_LoginData *config = nullptr;
};
