#pragma once
// The main window's placement as the settings file keeps it. The platform
// gives the restored rectangle in workspace coordinates (relative to the
// work area, which a taskbar at the top or left shifts), so it is taken and
// given back through the same pair of calls, never as screen coordinates.
#include <windows.h>

#include <string>

namespace kelvane {

// The placement text of the window; empty when the platform gives none.
std::string storedPlacementOf(HWND window);

// Places and shows the window as the text says; false (nothing done) for an
// empty or malformed text.
bool applyStoredPlacement(HWND window, const std::string& text);

} // namespace kelvane
