#include "Zelt_UnfinishedUploadsDialog.h"

#include "Prompt.h"
#include "SizeText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

Zelt_UnfinishedUploadsDialog::Zelt_UnfinishedUploadsDialog(QWidget *parent)
    : QDialog(parent), status(new QLabel(tr("Listing the unfinished uploads..."))),
      table(new QTableWidget(0, 4)), abortButton(new QPushButton(tr("&Abort Selected")))
{
    setObjectName(QStringLiteral("Zelt_UnfinishedUploadsDialog"));
    setWindowTitle(tr("Unfinished Uploads"));
    table->setObjectName(QStringLiteral("tblUnfinished"));
    table->setHorizontalHeaderLabels({tr("Object"), tr("Started"), tr("Age"), tr("Stored")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    abortButton->setObjectName(QStringLiteral("btnAbortUploads"));
    abortButton->setEnabled(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->addButton(abortButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(abortButton, &QPushButton::clicked, this, &Zelt_UnfinishedUploadsDialog::abortSelected);
    connect(table, &QTableWidget::itemSelectionChanged, this,
            [this] { abortButton->setEnabled(!table->selectedItems().isEmpty()); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(status);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(640, 320);
}

void Zelt_UnfinishedUploadsDialog::showUploads(QList<UnfinishedUpload> uploads)
{
    listed = uploads;
    status->setText(uploads.isEmpty()     ? tr("There are no unfinished uploads.")
                    : uploads.size() == 1 ? tr("An upload was begun and never finished. What it "
                                               "holds so far takes space until it is aborted.")
                                          : tr("%1 uploads were begun and never finished. What "
                                               "they hold so far takes space until they are "
                                               "aborted.")
                                                .arg(uploads.size()));
    table->setRowCount(int(uploads.size()));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int row = 0; row < uploads.size(); ++row) {
        const UnfinishedUpload &upload = uploads.at(row);
        const QStringList cells{
            upload.key, QLocale().toString(upload.initiated.toLocalTime(), QLocale::ShortFormat),
            ageText(upload.initiated.secsTo(now)), SizeText::listSize(upload.sizeSoFar)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
}

QString Zelt_UnfinishedUploadsDialog::ageText(qint64 seconds)
{
    const int minutes = int(std::clamp<qint64>(seconds / 60, 0, INT_MAX));
    const int days = minutes / (24 * 60);
    const int hours = minutes / 60;
    if (days > 0)
        return days == 1 ? tr("1 day") : tr("%1 days").arg(days);
    if (hours > 0)
        return hours == 1 ? tr("1 hour") : tr("%1 hours").arg(hours);
    return minutes == 1 ? tr("1 minute") : tr("%1 minutes").arg(minutes);
}

void Zelt_UnfinishedUploadsDialog::showFailure(const QString &message)
{
    status->setText(tr("The unfinished uploads could not be listed: %1").arg(message));
}

void Zelt_UnfinishedUploadsDialog::abortSelected()
{
    QList<UnfinishedUpload> chosen;
    for (const QModelIndex &row : table->selectionModel()->selectedRows())
        chosen << listed.value(row.row());
    if (chosen.isEmpty())
        return;
    const auto answer = Prompt::question(
        this, tr("Abort uploads"),
        chosen.size() == 1
            ? tr("Abort this upload? What it holds so far is deleted.")
            : tr("Abort these %1 uploads? What they hold so far is deleted.").arg(chosen.size()));
    if (answer != Prompt::Yes)
        return;
    status->setText(tr("Aborting..."));
    abortButton->setEnabled(false);
    emit abortChosen(chosen);
}
