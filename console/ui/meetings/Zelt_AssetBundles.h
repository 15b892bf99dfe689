#pragma once

#include "auth/ZeltError.h"
#include "service/ZeltAssetBundle.h"

#include <QList>
#include <QWidget>

#include <memory>
#include <optional>

class QProgressDialog;
class QTableWidgetItem;

class Zelt_S3;
class Zelt_MeetingsInfoThread;
struct Zelt_LoginData;

namespace Ui {
class Zelt_AssetBundlesClass;
}

// The asset bundles panel: lists the service's bundles, creates one from four pack files
// (uploaded through the storage browser, then registered with the service) and deletes them.
class Zelt_AssetBundles : public QWidget
{
    Q_OBJECT

public:
    explicit Zelt_AssetBundles(QWidget *parent = nullptr);
    ~Zelt_AssetBundles() override;

    void setup(Zelt_S3 *s3Browser, Zelt_MeetingsInfoThread *infoThread, Zelt_LoginData *loginData);

    QList<QTableWidgetItem *> selectedItems() const;
    // The number of selected cells.
    int selectedCount() const;
    // A copy of the selected bundle with *code 0; -2 and an empty bundle for several selected
    // rows, -3 when no listed bundle has the selected row's id.
    Zelt_Service_API::ZeltAssetBundle selectedBundle(int *code) const;
    void setDeleteEnabled(bool enabled);

public slots:
    void onAssetBundles(QList<Zelt_Service_API::ZeltAssetBundle> bundles);
    void onAssetBundlePost(QString summary);
    void onAssetBundlePostError(Zelt_AuthService_API::ZeltError error);
    void onAssetBundleDeleted(QString id);
    void onUploadsFailed();
    void onUploadsFinished();
    void initUI();
    void on_btnRefresh_clicked();
    void on_btnDelete_clicked();
    void on_btnCreate_clicked();
    void on_ABTableWidget_itemSelectionChanged();
    void on_ABTableWidget_itemDoubleClicked(QTableWidgetItem *item);
    void on_btnCreateGlobal_clicked();

signals:
    void itemClicked();
    void itemDoubleClicked();

private:
    bool isAdministrator() const;
    void createBundle(bool global);
    // Drops the bundle being created and deletes whatever of its files reached the storage.
    void abandonPending();
    void showProgress(const QString &label);
    void closeProgress();

    std::unique_ptr<Ui::Zelt_AssetBundlesClass> ui;
    bool active = false;
    Zelt_S3 *s3Browser = nullptr;
    Zelt_MeetingsInfoThread *infoThread = nullptr;
    Zelt_LoginData *loginData = nullptr;
    QList<Zelt_Service_API::ZeltAssetBundle> bundles;
    // The bundle being created; registering once its files are stored.
    std::optional<Zelt_Service_API::ZeltAssetBundle> pending;
    bool registering = false;
    std::unique_ptr<QProgressDialog> progress;
};
