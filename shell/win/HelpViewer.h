#pragma once
// The HTML Help control, loaded on first use. When it cannot be loaded every
// help request does nothing and returns 0.
#include <windows.h>

namespace kelvane {

HWND showHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);

} // namespace kelvane
