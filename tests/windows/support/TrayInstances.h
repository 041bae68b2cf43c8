#pragma once
// Tray instances started by tests.
#include "framework/win/UniqueHandle.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/support/TestPaths.h"

#include <string>
#include <vector>

namespace kelvane::test {

// Starts "kelvane.exe tray"; a null handle when it cannot start.
inline Plinth::UniqueHandleObject startTrayProcess(const std::string& extraWords = "") {
    return startProgram("\"" + programPath("kelvane.exe") + "\" -tray" + extraWords)
        .value_or(Plinth::UniqueHandleObject());
}

// The "TrayService" windows of every process.
inline std::vector<HWND> trayServiceWindows() {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, trayWindowTitle)) != nullptr) {
        windows.push_back(window);
    }
    return windows;
}

// Asks every tray instance to close and waits until none answers.
inline bool endAllTrayInstances() {
    return waitUntil([] {
        closeAllTrayInstances();
        return countTrayInstances() == 0;
    });
}

} // namespace kelvane::test
