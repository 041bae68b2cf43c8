#include "operations/win/OperationCommands.h"

#include "operations/ServiceControl.h"
#include "operations/win/ChangeCommands.h"
#include "operations/win/ControlCommands.h"
#include "operations/win/ParameterCommands.h"
#include "operations/win/RemoteLogin.h"
#include "resources/ResourceIds.h"

namespace kelvane {

bool runOperationCommand(CommandHost& host, int commandId) {
    if (const ControlCommand* command = controlCommandFor(commandId)) {
        controlSelected(host, command->rights, command->control);
        return true;
    }
    switch (commandId) {
    case IDC_REMOVE:
        removeSelected(host);
        return true;
    case ID_START_TYPE_DISABLED:
        setStartTypeSelected(host, SERVICE_DISABLED);
        return true;
    case ID_START_TYPE_MANUAL:
        setStartTypeSelected(host, SERVICE_DEMAND_START);
        return true;
    case ID_START_TYPE_AUTOMATIC:
        setStartTypeSelected(host, SERVICE_AUTO_START);
        return true;
    case ID_START_TYPE_BOOT:
        setStartTypeSelected(host, SERVICE_BOOT_START);
        return true;
    case ID_START_TYPE_SYSTEM:
        setStartTypeSelected(host, SERVICE_SYSTEM_START);
        return true;
    case ID_KILL_PROCESS:
        killSelected(host);
        return true;
    case ID_CREATE_SERVICE:
        createServiceCommand(host);
        return true;
    case IDC_BROWSE_HOST:
        browseForHost(host);
        return true;
    case IDC_LOGIN_AS:
        loginAs(host);
        return true;
    default:
        return false;
    }
}

} // namespace kelvane
