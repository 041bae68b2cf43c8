#pragma once
// Which actions the main window offers for a service: the action buttons
// for the selected one and the entries of the list's context menu.
#include <cstdint>

namespace kelvane {

// What the window knows of the service when it decides.
struct ServiceCapabilities {
    std::uint32_t state = 0;         // SERVICE_STATUS current state; 0 unknown
    std::uint32_t controls = 0;      // controls accepted
    std::int32_t startType = -1;     // 0 boot ... 4 disabled; -1 unknown
    std::uint32_t serviceType = 0;   // 1 kernel driver, 2 file system driver, ...
    bool hasProcess = false;         // the entry shows a process id
    bool onThisComputer = true;      // a process id of another computer names none of ours
};

// The five controls, offered alike by the buttons and the context menu.
struct ControlActions {
    bool start = false, stop = false, pause = false, resume = false, restart = false;
};

struct ActionButtons : ControlActions {
    bool remove = false;
};

// With nothing selected, or while an operation is running, nothing is
// offered.
ActionButtons actionButtonsFor(bool selected, bool busy, const ServiceCapabilities& service);

struct ContextMenuActions : ControlActions {
    bool startType[5] = {}; // by start type: boot, system, automatic, manual, disabled
    bool kill = false;
};

// actionsLocked: the program lacks administrative rights on the local
// computer, so none of these would succeed.
ContextMenuActions contextMenuActionsFor(const ServiceCapabilities& service, bool actionsLocked);

} // namespace kelvane
