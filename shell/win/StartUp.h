#pragma once
#include <windows.h>

namespace kelvane {

// The program's start-up, in its order; the result is the exit code.
int runStartUp(HINSTANCE instance, const char* commandLine, int showCommand);

} // namespace kelvane
