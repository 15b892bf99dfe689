#pragma once

// The S3 browser as an administrator on MinIO-type storage sees it, pointed at a local s3rver,
// for the benchmarks that drive it without the rest of the console.

#include "ScriptedPrompt.h"
#include "Zelt_LoginData.h"
#include "Zelt_S3.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableWidget>
#include <QTextStream>
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

// Nothing asked, nothing failed: the queue tells its failures in message boxes.
inline bool quiet(ScriptedPrompt &prompt, QTextStream &out)
{
    for (const ScriptedPrompt::Shown &shown : std::as_const(prompt.shown))
        out << "prompt shown: " << shown.title << ": " << shown.text << '\n';
    const bool none = prompt.shown.isEmpty();
    prompt.shown.clear();
    return none;
}

// Selects the file's row in the browser's table; false when it is not listed.
inline bool selectFile(Zelt_S3 &browser, const QString &name)
{
    auto *table = browser.findChild<QTableWidget *>(QStringLiteral("S3TableWidget"));
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0)->text() == name) {
            table->selectRow(row);
            return true;
        }
    }
    return false;
}

// The file uploaded through the browser's queue into the selected folder, nothing asked.
inline bool queueUpload(Zelt_S3 &browser, ScriptedPrompt &prompt, const QString &file,
                        QTextStream &out, int timeoutMs)
{
    browser.uploadFiles({file});
    const bool ended = waitFor(&browser, &Zelt_S3::endUploadDownload, timeoutMs);
    return quiet(prompt, out) && ended;
}

// A listed file downloaded through the queue to `target`; the one question expected is where to
// save.
inline bool queueDownload(Zelt_S3 &browser, ScriptedPrompt &prompt, const QString &name,
                          const QString &target, QTextStream &out, int timeoutMs)
{
    if (!selectFile(browser, name))
        return false;
    prompt.answer(target);
    browser.on_btnS3Download_clicked();
    const bool ended = waitFor(&browser, &Zelt_S3::endUploadDownload, timeoutMs);
    const bool askedTarget =
        !prompt.shown.isEmpty() && prompt.shown.first().kind == Prompt::Kind::SaveFile;
    if (askedTarget)
        prompt.shown.removeFirst();
    return quiet(prompt, out) && askedTarget && ended;
}

inline QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("NOT MET");
}

} // namespace BrowserBench
