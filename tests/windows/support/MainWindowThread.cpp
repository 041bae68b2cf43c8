#include "tests/windows/support/MainWindowThread.h"

#include "framework/win/ModuleResources.h"
#include "shell/win/MainWindow.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <commctrl.h>
#include <objbase.h>

namespace kelvane::test {

bool prepareMainWindowThread() {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return openServiceDatabaseKey();
}

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void closeMainWindow(std::unique_ptr<MainWindow>& window) {
    if (window && window->handle()) {
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
    }
    window.reset();
    pump();
}

} // namespace kelvane::test
