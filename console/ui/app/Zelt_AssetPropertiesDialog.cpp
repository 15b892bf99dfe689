#include "Zelt_AssetPropertiesDialog.h"

#include "ComponentRows.h"
#include "ui_Zelt_AssetPropertiesDialog.h"

using Zelt_Service_API::ZeltAsset;
using Zelt_Service_API::ZeltDefVector3;

Zelt_AssetPropertiesDialog::Zelt_AssetPropertiesDialog(QWidget *parent, const ZeltAsset &asset)
    : QDialog(parent), ui(std::make_unique<Ui::Zelt_AssetPropertiesDialogClass>()), asset(asset)
{
    ui->setupUi(this);
    scale = {ui->spnScaX, ui->spnScaY, ui->spnScaZ};
    position = {ui->spnPosX, ui->spnPosY, ui->spnPosZ};
    rotation = {ui->spnRotX, ui->spnRotY, ui->spnRotZ};
    setWindowTitle(asset.name());

    const bool url = asset.mode() == ComponentRows::UrlMode;
    ui->grpCustomURL->setVisible(url);
    for (QWidget *group : {ui->grpScale, ui->grpPosition, ui->grpRotation})
        group->setVisible(!url);
    if (url) {
        ui->leCustomURL->setText(asset.stgRelPath());
    } else {
        fill(scale, asset.scale());
        fill(position, asset.position());
        fill(rotation, asset.rotation());
    }
    adjustSize();
}

Zelt_AssetPropertiesDialog::~Zelt_AssetPropertiesDialog() = default;

void Zelt_AssetPropertiesDialog::fill(const Spins &spins, const ZeltDefVector3 &vector)
{
    spins[0]->setValue(vector.x());
    spins[1]->setValue(vector.y());
    spins[2]->setValue(vector.z());
}

ZeltDefVector3 Zelt_AssetPropertiesDialog::read(const Spins &spins)
{
    ZeltDefVector3 vector;
    vector.setX(float(spins[0]->value()));
    vector.setY(float(spins[1]->value()));
    vector.setZ(float(spins[2]->value()));
    return vector;
}

ZeltAsset Zelt_AssetPropertiesDialog::editedAsset() const
{
    ZeltAsset edited = asset;
    if (asset.mode() == ComponentRows::UrlMode) {
        edited.setStgPreSgnPath(ui->leCustomURL->text());
        edited.setStgRelPath(ui->leCustomURL->text());
    } else {
        edited.setPosition(read(position));
        edited.setRotation(read(rotation));
        edited.setScale(read(scale));
    }
    return edited;
}
