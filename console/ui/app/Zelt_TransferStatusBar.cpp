#include "Zelt_TransferStatusBar.h"

#include "SizeText.h"

#include <QLabel>
#include <QProgressBar>

#include <limits>

Zelt_TransferStatusBar::Zelt_TransferStatusBar(QWidget *parent) : QStatusBar(parent)
{
    lblTransferKind = addLabel("lblTransferKind", 0);
    lblTransferObject = addLabel("lblTransferObject", 200);
    // A long file name takes the room the bar has instead of widening the window for good.
    lblTransferObject->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    transferProgressBar = new QProgressBar(this);
    transferProgressBar->setObjectName(QStringLiteral("transferProgressBar"));
    transferProgressBar->setFormat(QStringLiteral("%p%"));
    // Narrow enough to leave the file name room in a 900-pixel window.
    transferProgressBar->setMinimumWidth(160);
    transferProgressBar->setMaximumWidth(600);
    transferProgressBar->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    transferProgressBar->setStyleSheet(QStringLiteral("border: none;"));
    transferProgressBar->setAlignment(Qt::AlignCenter);
    addPermanentWidget(transferProgressBar, 500);

    lblTransferCompleted = addLabel("lblTransferCompleted", 50);
    lblTransferSize = addLabel("lblTransferSize", 50);
    lblTransferSpeed = addLabel("lblTransferSpeed", 50);
}

QLabel *Zelt_TransferStatusBar::addLabel(const char *name, int stretch)
{
    auto *label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    addPermanentWidget(label, stretch);
    return label;
}

void Zelt_TransferStatusBar::clearProgress()
{
    transferProgressBar->setRange(0, 1);
    transferProgressBar->setValue(0);
}

void Zelt_TransferStatusBar::showTransfer(int mode, const QString &object, qlonglong size,
                                          qlonglong progress, int bytesPerSecond)
{
    const SizeText::Scaled completed = SizeText::transferSize(progress);
    const QString completedForms[] = {tr("Completed: %1 KB"), tr("Completed: %1 MB"),
                                      tr("Completed: %1 GB")};
    lblTransferCompleted->setText(completedForms[int(completed.unit)].arg(completed.number));

    const SizeText::Scaled total = SizeText::transferSize(size);
    const QString sizeForms[] = {tr("Size: %1 KB"), tr("Size: %1 MB"), tr("Size: %1 GB")};
    lblTransferSize->setText(sizeForms[int(total.unit)].arg(total.number));

    // The progress bar counts in int: scale both values down together until the size fits.
    qlonglong barSize = size;
    qlonglong barProgress = progress;
    while (barSize > std::numeric_limits<int>::max()) {
        barSize /= 10;
        barProgress /= 10;
    }

    const QString kinds[] = {tr("Uploading:"), tr("Downloading:"), tr("Deleting:"),
                             tr("Size Query:")};
    lblTransferKind->setText(mode >= 0 && mode < 4 ? kinds[mode] : QString());
    lblTransferKind->setToolTip(QString());
    lblTransferObject->setText(object.mid(object.lastIndexOf(QLatin1Char('/')) + 1));
    lblTransferObject->setToolTip(object);

    transferProgressBar->setRange(0, barSize == 0 ? 1 : int(barSize));
    transferProgressBar->setValue(int(barProgress));

    const double kilobytesPerSecond = bytesPerSecond / 1024.0;
    if (kilobytesPerSecond > 1024)
        lblTransferSpeed->setText(
            tr("Speed: %1 MByte/s").arg(QString::number(kilobytesPerSecond / 1024, 'f', 2)));
    else
        lblTransferSpeed->setText(
            tr("Speed: %1 KByte/s").arg(QString::number(kilobytesPerSecond, 'g')));
}

void Zelt_TransferStatusBar::showRetry(int retry, int retries, const QString &reason)
{
    lblTransferKind->setText(tr("Retrying (%1/%2):").arg(retry).arg(retries));
    lblTransferKind->setToolTip(reason);
}
