#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

// The main window's status bar: the running transfer's kind, object, progress, sizes and speed.
class Zelt_TransferStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit Zelt_TransferStatusBar(QWidget *parent = nullptr);

    // mode: 0 upload, 1 download, 2 delete, 3 size query, anything else nothing running.
    void showTransfer(int mode, const QString &object, qlonglong size, qlonglong progress,
                      int bytesPerSecond);
    // The running transfer waits to send a failed chunk again; the reason is the tool tip.
    void showRetry(int retry, int retries, const QString &reason);
    // An empty progress bar (range 0..1).
    void clearProgress();

private:
    QLabel *addLabel(const char *name, int stretch);

    QLabel *lblTransferKind;
    QLabel *lblTransferObject;
    QProgressBar *transferProgressBar;
    QLabel *lblTransferCompleted;
    QLabel *lblTransferSize;
    QLabel *lblTransferSpeed;
};
