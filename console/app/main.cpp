#include "Zelt_ServerApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Zelt_ServerApp window(application.arguments());
    window.show();
    return application.exec();
}
