// Start targets whose windows are not part of this build yet. Each tells the
// user so instead of doing nothing.
#include "shell/win/StartTargets.h"

namespace kelvane {

namespace {

int notAvailable(const char* what) {
    MessageBoxA(nullptr, what, "Kelvane", MB_OK | MB_ICONINFORMATION);
    return 0;
}

} // namespace

int runMainWindow(AppConfig&) { return notAvailable("The main window is not available in this build."); }

} // namespace kelvane
