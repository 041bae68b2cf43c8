#pragma once
// The system's HTML Help control (hhctrl.ocx of the system folder), loaded on
// first use. When it cannot be loaded every help request does nothing and
// returns 0.
#include <windows.h>

#include <string>

namespace kelvane {

HWND showHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);

// The help file "kelvane.chm" in the folder of the running program. A bare
// file name would be looked for in the current folder, which a shortcut, the
// tray start-up or a scheduled task may have set anywhere.
std::string helpFilePath();

// The help file's table of contents (F1 and Help "&Help ..."), owned by caller.
HWND showHelpContents(HWND caller);

} // namespace kelvane
