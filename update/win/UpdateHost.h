#pragma once
// What the version check needs from the main window. The main window
// implements it and owns the UpdateChecker; tests implement it with a
// hidden window of their own.
#include <windows.h>

namespace kelvane {

class UpdateHost {
public:
    virtual ~UpdateHost() = default;

    // The main window: owner of the check's message boxes, of the download
    // dialog and of the setup's start. Called on either thread.
    virtual HWND ownerWindow() const = 0;

    // The "nopersist" and "noupdate" options of the run. Read once, on the
    // user-interface thread, when the automatic check is started.
    virtual bool noPersist() const = 0;
    virtual bool noUpdate() const = 0;

    // Hides the main window while a setup the automatic check offered is
    // downloaded, and shows it again when no setup could be started. Called
    // on the checker's thread.
    virtual void hideMainWindow() = 0;
    virtual void showMainWindow() = 0;
};

} // namespace kelvane
