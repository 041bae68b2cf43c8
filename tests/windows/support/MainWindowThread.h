#pragma once
// What a test of the real main window needs on its thread: the program's
// resources, the list view controls, COM and the services key that start-up
// opens, and the message pumps that let the window and its workers run.
#include <windows.h>

#include <memory>

namespace kelvane {
class MainWindow;
}

namespace kelvane::test {

// For SetUpTestSuite; false when the services key cannot be opened. The
// key is closed again by closeServiceDatabaseKey.
bool prepareMainWindowThread();

// Dispatches every message queued for this thread.
void pump();

// For TearDown: closes the window as Cancel does, frees it and lets the
// messages it left run.
void closeMainWindow(std::unique_ptr<MainWindow>& window);

// Pumps until done() holds or boundMs have passed; false then.
template <typename Done> bool pumpUntil(Done done, DWORD boundMs = 15000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > boundMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump();
    }
    return true;
}

} // namespace kelvane::test
