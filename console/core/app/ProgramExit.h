#pragma once

#include <functional>

// "End the program at once with exit code N", without saving window state. Tests install a
// handler that records the code instead; callers must return right after calling it.
namespace ProgramExit {
using Handler = std::function<void(int code)>;

void now(int code);
// An empty handler restores the real exit.
void setHandler(Handler handler);
} // namespace ProgramExit
