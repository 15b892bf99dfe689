#include "ConsoleTranslator.h"
#include "QtPrompt.h"
#include "UserActivityFilter.h"
#include "VersionNumber.h"
#include "Zelt_ServerApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Where the kept transfer queue lives: ~/.local/share/Vorel/<program> on Linux.
    QCoreApplication::setOrganizationName(QStringLiteral("Vorel"));
    const ConsoleTranslator translator(QLocale::system());
    // What --version prints; the package carries the same number.
    application.setApplicationVersion(ConsoleVersion::current().dotted());
    QtPrompt dialogs;
    Prompt::setCurrent(&dialogs);
    Zelt_ServerApp window(application.arguments());

    auto *activityFilter = new UserActivityFilter(&window, window.getInactivityTime() * 1000);
    window.installEventFilter(activityFilter);
    QObject::connect(activityFilter, &UserActivityFilter::userInactive, &window,
                     &Zelt_ServerApp::onUserInactive);
    QObject::connect(activityFilter, &UserActivityFilter::userActive, &window,
                     &Zelt_ServerApp::onUserActive);

    window.show();
    return application.exec();
}
