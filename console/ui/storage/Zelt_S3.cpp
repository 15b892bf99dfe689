#include "Zelt_S3.h"

// The browsing and transfer parts of this widget are not built yet: it holds its place in the
// main window and accepts the session hand-over.
Zelt_S3::Zelt_S3(QWidget *parent) : QWidget(parent) {}

void Zelt_S3::on_btnS3Refresh_clicked() {}

void Zelt_S3::setDeleteEnabled(bool) {}

void Zelt_S3::onDeleteSlot(int) {}
