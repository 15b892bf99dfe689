#include "Zelt_AssetBundles.h"

Zelt_AssetBundles::Zelt_AssetBundles(QWidget *parent) : QWidget(parent) {}

void Zelt_AssetBundles::setup(Zelt_S3 *s3Browser, Zelt_MeetingsInfoThread *infoThread,
                              Zelt_LoginData *loginData)
{
    this->s3Browser = s3Browser;
    this->infoThread = infoThread;
    this->loginData = loginData;
}
