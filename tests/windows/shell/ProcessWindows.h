#pragma once
// The windows another process shows, for tests that run the real program.
#include <windows.h>

namespace kelvane::test {

// A visible dialog or message box of the process; null when there is none.
inline HWND visibleDialogOf(DWORD processId) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

} // namespace kelvane::test
