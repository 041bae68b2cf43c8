#pragma once
// Administrative rights of this process, the controls that follow from them,
// and the relaunch of the program with elevation.
#include "shell/Elevation.h"

#include <windows.h>

#include <string>

namespace kelvane {

// True on systems without user account control; otherwise the token's
// elevation, false when the token cannot be asked.
bool hasAdministrativeRights();

// Shows the admin button (with the shield) instead of the six action
// buttons of dialog in the elevation case, and the six otherwise.
void updateAdminControls(HWND dialog, bool adminRights, bool isLocal);

// Starts program with the verb "runas"; false when the shell refuses or the
// user declines the prompt.
bool startElevated(const std::string& program, const std::string& parameters, HWND owner);

// Starts this program's own file elevated, with the language switch of this
// run, and on success posts the quit message so this instance ends.
bool relaunchElevated(HWND owner);

} // namespace kelvane
