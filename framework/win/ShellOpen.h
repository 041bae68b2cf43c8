#pragma once
// Asks the shell to act on a file or address with a verb ("open",
// "properties", "runas"), shown normally and owned by a window. The call
// returns once the shell has started the program, so it is safe on threads
// that end soon after.
#include <windows.h>

#include <string>

namespace Plinth {

struct ShellRequest {
    const char* verb = "open";
    std::string parameters;
    ULONG extraFlags = 0; // e.g. SEE_MASK_INVOKEIDLIST, SEE_MASK_FLAG_NO_UI
};

// False when the shell refused; most callers have nothing to tell the user.
bool shellExecute(HWND owner, const std::string& target, const ShellRequest& request = {});

} // namespace Plinth
