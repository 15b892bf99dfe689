#pragma once

#include "service/ZeltAsset.h"

#include <QDialog>

#include <array>
#include <memory>

class QDoubleSpinBox;
namespace Ui {
class Zelt_AssetPropertiesDialogClass;
}

// Edits where a file asset stands in the meeting (scale, position, rotation), or the address
// of a URL placeholder.
class Zelt_AssetPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    Zelt_AssetPropertiesDialog(QWidget *parent, const Zelt_Service_API::ZeltAsset &asset);
    ~Zelt_AssetPropertiesDialog() override;

    // The asset with the dialog's values: the URL for a placeholder, the geometry otherwise.
    Zelt_Service_API::ZeltAsset editedAsset() const;

private:
    using Spins = std::array<QDoubleSpinBox *, 3>;
    static void fill(const Spins &spins, const Zelt_Service_API::ZeltDefVector3 &vector);
    static Zelt_Service_API::ZeltDefVector3 read(const Spins &spins);

    std::unique_ptr<Ui::Zelt_AssetPropertiesDialogClass> ui;
    Zelt_Service_API::ZeltAsset asset;
    Spins scale;
    Spins position;
    Spins rotation;
};
