#pragma once
// Every message box of the program goes through showMessageBox, so a test can
// answer boxes and read their caption and text without showing anything.
#include <windows.h>

#include <functional>
#include <string>

namespace Plinth {

// MessageBoxA, or the hook when one is set; returns the button pressed.
int showMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);

using MessageBoxHook =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT style)>;

// An empty hook shows real boxes again. The hook is process-wide and may be
// called from any thread.
void setMessageBoxHook(MessageBoxHook hook);

} // namespace Plinth
