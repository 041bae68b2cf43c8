#pragma once
// Which controls a non-elevated local session may use. Without administrative
// rights the local manager refuses every change, so the action buttons give
// way to the one button that relaunches the program elevated.
#include <vector>

namespace kelvane {

// What the process token said; the answer of has administrative rights.
struct TokenAnswer {
    bool nt6OrLater = true; // older systems have no user account control
    bool tokenOpened = false;
    bool queried = false;
    unsigned long isElevated = 0;
};
bool adminRightsFrom(const TokenAnswer& token);

// No rights and the list shows the local computer.
bool elevationCase(bool adminRights, bool isLocal);

struct AdminControlPlan {
    bool elevation = false;
    std::vector<int> shownButtons; // control ids of the main window
    std::vector<int> hiddenButtons;
};

// The admin button and the six action buttons.
AdminControlPlan planAdminControls(bool adminRights, bool isLocal);

// The six action buttons the admin button replaces.
const std::vector<int>& actionButtonIds();

} // namespace kelvane
