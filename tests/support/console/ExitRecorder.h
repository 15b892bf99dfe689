#pragma once

#include "ProgramExit.h"

#include <QList>

#include <functional>

// Catches "end the program now" for the lifetime of the recorder. The real program would be
// gone, so only the first exit counts; afterExit runs then (UI tests close open dialogs there,
// so that nested event loops return to the test).
class ExitRecorder
{
public:
    explicit ExitRecorder(std::function<void()> afterExit = {})
    {
        ProgramExit::setHandler([this, afterExit](int code) {
            if (!codes.isEmpty())
                return;
            codes.append(code);
            if (afterExit)
                afterExit();
        });
    }
    ~ExitRecorder() { ProgramExit::setHandler({}); }

    bool exited() const { return !codes.isEmpty(); }
    QList<int> codes;
};
