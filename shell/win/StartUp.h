#pragma once
#include <windows.h>

#include <string>

namespace kelvane {

// Chooses the user-interface language from the thread locale and the
// switches of the command line, for texts and resources alike.
void selectLanguage(const std::string& line);

// The program's start-up, in its order; the result is the exit code.
int runStartUp(HINSTANCE instance, const char* commandLine, int showCommand);

} // namespace kelvane
