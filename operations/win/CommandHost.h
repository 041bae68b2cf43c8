#pragma once
// What the service operations need of the main window. The window implements
// it; the operations never see the list view, the tables or the threads.
#include "inventory/ServiceEntry.h"
#include "operations/BusyCounter.h"
#include "shell/AppConfig.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kelvane {

class CommandHost {
public:
    virtual ~CommandHost() = default;

    // The computer the list was read from, which every command acts on.
    virtual std::string hostName() const = 0;
    // That computer is this one.
    virtual bool hostIsLocal() const = 0;
    // The entries of the selected list rows that have one, from the top.
    virtual std::vector<ServiceEntry> selectedEntries() const = 0;
    // Replaces the text of the status line; an empty text clears it.
    virtual void writeStatus(const std::string& text) = 0;
    // Reads the services again and shows them; returns when the list is
    // up to date. The status line is left as it is.
    virtual void refreshList() = 0;
    // The main window: owner of questions, reports and dialogs, and the
    // receiver of WM_APP while a service settles.
    virtual HWND window() const = 0;
    // The window's busy counter, raised while an operation runs.
    virtual BusyCounter& busyCounter() = 0;

    // The working configuration; its connection fields name the computer.
    virtual AppConfig& config() = 0;
    // Moves the controls' contents into config(); false when that failed.
    virtual bool saveControls() = 0;
    // Shows config() in the controls.
    virtual void loadControls() = 0;
    // Forgets the image files' details, which belong to another computer.
    virtual void clearFileDetails() = 0;
    // The host field (the drop-down 1000) with the hosts used before.
    virtual HWND hostField() const = 0;
};

} // namespace kelvane
