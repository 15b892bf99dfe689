#pragma once

#include <QApplication>
#include <QDialog>

// Rejects every visible dialog, as the end of the program would close it.
inline void closeOpenDialogs()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(widget); dialog && dialog->isVisible())
            dialog->reject();
}
