#include "WindowStateStore.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>

#include <memory>

namespace {
QString splitterKey(const QSplitter *splitter)
{
    return QStringLiteral("splitter/") + splitter->objectName();
}

std::unique_ptr<QSettings> windowStateSettings()
{
    auto settings = std::make_unique<QSettings>(QString::fromLatin1(WindowStateStore::Organisation),
                                                QString::fromLatin1(WindowStateStore::Application));
    settings->beginGroup(QStringLiteral("MainWindow"));
    return settings;
}
} // namespace

void WindowStateStore::restore(QMainWindow *window, QDockWidget *queueDock, bool restoreGeometry)
{
    const auto settings = windowStateSettings();
    if (settings->contains(QStringLiteral("geometry")) && restoreGeometry) {
        window->restoreGeometry(settings->value(QStringLiteral("geometry")).toByteArray());
    } else {
        window->move(100, 50);
        window->resize(900, 650);
    }
    if (settings->contains(QStringLiteral("queuevisible")))
        queueDock->setVisible(settings->value(QStringLiteral("queuevisible")).toBool());
    if (settings->contains(QStringLiteral("windowState")))
        window->restoreState(settings->value(QStringLiteral("windowState")).toByteArray());
    for (QSplitter *splitter : window->findChildren<QSplitter *>())
        if (settings->contains(splitterKey(splitter)))
            splitter->restoreState(settings->value(splitterKey(splitter)).toByteArray());
}

void WindowStateStore::save(const QMainWindow *window, const QDockWidget *queueDock)
{
    const auto settings = windowStateSettings();
    settings->setValue(QStringLiteral("geometry"), window->saveGeometry());
    settings->setValue(QStringLiteral("windowState"), window->saveState());
    settings->setValue(QStringLiteral("queuevisible"), queueDock->isVisible());
    for (const QSplitter *splitter : window->findChildren<QSplitter *>())
        settings->setValue(splitterKey(splitter), splitter->saveState());
}
