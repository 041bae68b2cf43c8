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

const std::vector<int>& serviceActionCommandIds() {
    static const std::vector<int> ids{IDC_START,
                                      IDC_STOP,
                                      IDC_PAUSE,
                                      IDC_CONTINUE,
                                      IDC_RESTART,
                                      ID_START_TYPE_DISABLED,
                                      ID_START_TYPE_MANUAL,
                                      ID_START_TYPE_AUTOMATIC,
                                      ID_START_TYPE_BOOT,
                                      ID_START_TYPE_SYSTEM,
                                      ID_KILL_PROCESS};
    return ids;
}

const std::vector<int>& inspectionCommandIds() {
    static const std::vector<int> ids{ID_EDIT_SERVICE, ID_COPY_TO_CLIPBOARD, ID_FILE_PROPERTIES,
                                      ID_OPEN_FOLDER, IDC_REMOVE};
    return ids;
}

AdminControlPlan planAdminControls(bool adminRights, bool isLocal) {
    AdminControlPlan plan;
    plan.elevation = elevationCase(adminRights, isLocal);
    plan.enabledCommands = inspectionCommandIds();
    if (plan.elevation) {
        plan.shownButtons = {IDC_ADMIN};
        plan.hiddenButtons = actionButtonIds();
        plan.disabledCommands = serviceActionCommandIds();
    } else {
        plan.shownButtons = actionButtonIds();
        plan.hiddenButtons = {IDC_ADMIN};
        plan.enabledCommands.insert(plan.enabledCommands.end(), serviceActionCommandIds().begin(),
                                    serviceActionCommandIds().end());
    }
    return plan;
}

} // namespace kelvane
