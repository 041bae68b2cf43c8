#pragma once
// Tray instances started by tests, and waiting for what they do in their
// own processes.
#include "framework/win/UniqueHandle.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvane::test {

// Polls condition every 50 ms until it holds or timeoutMs has passed.
bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs = 30000);

// Starts "kelvane.exe tray"; a null handle when it cannot start.
Plinth::UniqueHandleObject startTrayProcess(const std::string& extraWords = "");

// The "TrayService" windows of every process.
std::vector<HWND> trayServiceWindows();

// Asks every tray instance to close and waits until none answers.
bool endAllTrayInstances();

} // namespace kelvane::test
