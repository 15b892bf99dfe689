#pragma once

class QDockWidget;
class QMainWindow;

// Keeps the main window's geometry, dock and toolbar state, the queue dock's visibility and the
// sizes of its named splitters in the native settings store, group "MainWindow".
namespace WindowStateStore {

constexpr const char *Organisation = "Vorel";
constexpr const char *Application = "Vorel Console";

// Without a saved geometry, or when restoring it is switched off, the window opens at (100, 50)
// with 900 by 650; the dock's visibility and the window state are restored either way.
void restore(QMainWindow *window, QDockWidget *queueDock, bool restoreGeometry);
void save(const QMainWindow *window, const QDockWidget *queueDock);

} // namespace WindowStateStore
