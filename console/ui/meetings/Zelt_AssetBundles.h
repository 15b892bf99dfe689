#pragma once

#include "service/ZeltAssetBundle.h"

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
    // The number of selected cells.
    int selectedCount() const { return 0; }
    // A copy of the selected bundle with *code 0; -2 and an empty bundle for several selected
    // rows, -3 when no listed bundle has the selected row's id.
    Zelt_Service_API::ZeltAssetBundle selectedBundle(int *code) const
    {
        *code = -3;
        return {};
    }
    void setDeleteEnabled(bool) {}

signals:
    void itemClicked();
    void itemDoubleClicked();

private:
    Zelt_S3 *s3Browser = nullptr;
    Zelt_MeetingsInfoThread *infoThread = nullptr;
    Zelt_LoginData *loginData = nullptr;
};
