#pragma once

#include "ConsoleHarness.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

// Driving the dialogs that the meetings panel runs modally.
namespace PanelDialogs {

template <typename T> T *in(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

inline void clickOk(QWidget *dialog)
{
    in<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
}

inline QStringList column(QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << table->item(row, column)->text();
    return texts;
}

inline void selectMeeting(ConsoleHarness &console, const QString &id)
{
    auto *table = console.child<QTableWidget>("tblMeetings");
    // The meetings list and the live info arrive in separate replies.
    QTRY_VERIFY_WITH_TIMEOUT(column(table, 0).contains(id), 10000);
    table->selectRow(int(column(table, 0).indexOf(id)));
}

// Runs check on the dialog of class T once it shows; closes the dialog should check fail.
template <typename T, typename Check> void whenShown(Check check)
{
    whenDialogShows<T>([check](T *dialog) {
        check(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace PanelDialogs
