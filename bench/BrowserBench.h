#pragma once

// The S3 browser as an administrator on MinIO-type storage sees it, pointed at a local s3rver,
// for the benchmarks that drive it without the rest of the console.

#include "Zelt_LoginData.h"
#include "Zelt_S3.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>

namespace BrowserBench {

inline Zelt_LoginData administrator(const QString &endpoint, const QString &bucket)
{
    Zelt_LoginData data;
    data.userId = QStringLiteral("bench");
    data.loggedIn = true;
    data.roles = QStringList{QStringLiteral("Zelt_Administrator")};
    data.storageMode = Zelt_LoginData::MinIO;
    data.storageAddress = endpoint;
    data.storageUser = QStringLiteral("S3RVER");
    data.storagePassword = QStringLiteral("S3RVER");
    data.storageBucket = bucket;
    return data;
}

// Runs the event loop until the signal comes; false when timeoutMs pass first.
template <class Sender, class Signal>
bool waitFor(const Sender *sender, Signal signal, int timeoutMs)
{
    QEventLoop loop;
    bool came = false;
    QObject::connect(sender, signal, &loop, [&] {
        came = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return came;
}

// Seconds from the refresh to the rebuilt tree painted, or -1 when no tree came. The tree
// selects its item again as the last step of a rebuild, so that signal marks the end.
inline double refreshAndShow(Zelt_S3 &browser, int timeoutMs = 120000)
{
    auto *tree = browser.findChild<QTreeWidget *>(QStringLiteral("S3TreeWidget"));
    QElapsedTimer timer;
    timer.start();
    browser.on_btnS3Refresh_clicked();
    if (!waitFor(tree, &QTreeWidget::currentItemChanged, timeoutMs) || !tree->topLevelItem(0))
        return -1;
    browser.repaint();
    return timer.nsecsElapsed() / 1e9;
}

inline QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("NOT MET");
}

} // namespace BrowserBench
