#pragma once
// What a test of the real main window needs on its thread: the program's
// resources, the list view controls, COM and the services key that start-up
// opens, and the message pumps that let the window and its workers run.
#include "framework/win/ModuleResources.h"
#include "shell/win/MainWindow.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

namespace kelvane::test {

// For SetUpTestSuite; false when the services key cannot be opened. The
// key is closed again by closeServiceDatabaseKey.
inline bool prepareMainWindowThread() {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return openServiceDatabaseKey();
}

// Dispatches every message queued for this thread.
inline void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// For TearDown: closes the window as Cancel does, frees it and lets the
// messages it left run.
inline void closeMainWindow(std::unique_ptr<MainWindow>& window) {
    if (window && window->handle()) {
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
    }
    window.reset();
    pump();
}

// Pumps until done() holds or boundMs have passed; false then.
template <typename Done> bool pumpUntil(Done done, DWORD boundMs = 15000) {
    for (const DWORD start = GetTickCount(); !done(); pump()) {
        if (GetTickCount() - start > boundMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

} // namespace kelvane::test
