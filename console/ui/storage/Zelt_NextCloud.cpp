#include "Zelt_NextCloud.h"

Zelt_NextCloud::Zelt_NextCloud(QWidget *parent) : QWidget(parent) {}
