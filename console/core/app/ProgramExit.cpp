#include "ProgramExit.h"

#include <cstdlib>

namespace {
ProgramExit::Handler &installedHandler()
{
    static ProgramExit::Handler handler;
    return handler;
}
} // namespace

void ProgramExit::now(int code)
{
    if (installedHandler()) {
        installedHandler()(code);
        return;
    }
    std::exit(code);
}

void ProgramExit::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}
