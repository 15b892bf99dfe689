#pragma once

#include "ProgramExit.h"

#include <QApplication>
#include <QDialog>
#include <QList>

// Catches "end the program now" for the lifetime of the recorder. The real program would be
// gone, so only the first exit counts, and open dialogs are closed so that nested event loops
// return to the test.
class ExitRecorder
{
public:
    ExitRecorder()
    {
        ProgramExit::setHandler([this](int code) {
            if (!codes.isEmpty())
                return;
            codes.append(code);
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QDialog *>(widget); dialog && dialog->isVisible())
                    dialog->reject();
        });
    }
    ~ExitRecorder() { ProgramExit::setHandler({}); }

    bool exited() const { return !codes.isEmpty(); }
    QList<int> codes;
};
