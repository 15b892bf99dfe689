#pragma once

#include <QList>
#include <QWidget>

class QTableWidgetItem;

class Zelt_S3;
class Zelt_MeetingsInfoThread;
struct Zelt_LoginData;

// The asset bundles panel.
class Zelt_AssetBundles : public QWidget
{
    Q_OBJECT

public:
    explicit Zelt_AssetBundles(QWidget *parent = nullptr);

    void setup(Zelt_S3 *s3Browser, Zelt_MeetingsInfoThread *infoThread, Zelt_LoginData *loginData);

    QList<QTableWidgetItem *> selectedItems() const { return {}; }
    void setDeleteEnabled(bool) {}

signals:
    void itemClicked();
    void itemDoubleClicked();

private:
    Zelt_S3 *s3Browser = nullptr;
    Zelt_MeetingsInfoThread *infoThread = nullptr;
    Zelt_LoginData *loginData = nullptr;
};
