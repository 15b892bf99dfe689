#pragma once

#include "ProgramExit.h"

#include <QList>

// Catches "end the program now" for the lifetime of the recorder.
class ExitRecorder
{
public:
    ExitRecorder()
    {
        ProgramExit::setHandler([this](int code) { codes.append(code); });
    }
    ~ExitRecorder() { ProgramExit::setHandler({}); }

    bool exited() const { return !codes.isEmpty(); }
    QList<int> codes;
};
