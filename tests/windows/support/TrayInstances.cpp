#include "tests/windows/support/TrayInstances.h"

#include "shell/win/TrayWindow.h"
#include "tests/windows/support/TestPaths.h"

namespace kelvane::test {

bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(50);
    }
}

Plinth::UniqueHandleObject startTrayProcess(const std::string& extraWords) {
    const std::string program = programPath("kelvane.exe");
    std::string line = "\"" + program + "\" -tray" + extraWords;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return Plinth::UniqueHandleObject(process.hProcess);
}

std::vector<HWND> trayServiceWindows() {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, trayWindowTitle)) != nullptr) {
        windows.push_back(window);
    }
    return windows;
}

bool endAllTrayInstances() {
    return waitUntil([] {
        closeAllTrayInstances();
        return countTrayInstances() == 0;
    });
}

} // namespace kelvane::test
