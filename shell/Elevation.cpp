#include "shell/Elevation.h"

#include "resources/ResourceIds.h"

namespace kelvane {

bool adminRightsFrom(const TokenAnswer& token) {
    if (!token.nt6OrLater) {
        return true;
    }
    return token.tokenOpened && token.queried && token.isElevated != 0;
}

bool elevationCase(bool adminRights, bool isLocal) {
    return !adminRights && isLocal;
}

const std::vector<int>& actionButtonIds() {
    static const std::vector<int> ids{IDC_START,    IDC_STOP,    IDC_PAUSE,
                                      IDC_CONTINUE, IDC_RESTART, IDC_REMOVE};
    return ids;
}

AdminControlPlan planAdminControls(bool adminRights, bool isLocal) {
    AdminControlPlan plan;
    plan.elevation = elevationCase(adminRights, isLocal);
    if (plan.elevation) {
        plan.shownButtons = {IDC_ADMIN};
        plan.hiddenButtons = actionButtonIds();
    } else {
        plan.shownButtons = actionButtonIds();
        plan.hiddenButtons = {IDC_ADMIN};
    }
    return plan;
}

} // namespace kelvane
