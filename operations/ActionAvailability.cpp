#include "operations/ActionAvailability.h"

#include "operations/ServiceStatus.h"

namespace kelvane {

namespace {

constexpr std::int32_t startDisabled = 4;

bool canStart(const ServiceCapabilities& s) {
    return s.startType != startDisabled && s.state != serviceState::running &&
           s.state != serviceState::startPending;
}
bool canPause(const ServiceCapabilities& s) {
    return (s.controls & acceptedControl::pauseContinue) && s.state == serviceState::running;
}
bool canResume(const ServiceCapabilities& s) {
    return (s.controls & acceptedControl::pauseContinue) && s.state == serviceState::paused;
}
// Restart sends the parameter-change control; the stop bit says nothing
// about it.
bool canRestart(const ServiceCapabilities& s) {
    return (s.controls & acceptedControl::paramChange) && s.state == serviceState::running;
}

} // namespace

ActionButtons actionButtonsFor(bool selected, bool busy, const ServiceCapabilities& service) {
    ActionButtons buttons;
    if (!selected || busy) {
        return buttons;
    }
    buttons.start = canStart(service);
    buttons.stop = (service.controls & acceptedControl::stop) != 0;
    buttons.pause = canPause(service);
    buttons.resume = canResume(service);
    buttons.restart = canRestart(service);
    buttons.remove = true;
    return buttons;
}

ContextMenuActions contextMenuActionsFor(const ServiceCapabilities& service, bool actionsLocked) {
    ContextMenuActions actions;
    if (actionsLocked) {
        return actions;
    }
    actions.start = canStart(service);
    actions.stop = (service.controls & acceptedControl::stop) != 0;
    actions.pause = canPause(service);
    actions.resume = canResume(service);
    actions.restart = canRestart(service);
    const bool driver = service.serviceType == 1 || service.serviceType == 2;
    for (int type = 0; type < 5; ++type) {
        const bool bootOrSystem = type == 0 || type == 1;
        actions.startType[type] = type != service.startType && (driver || !bootOrSystem);
    }
    actions.kill = service.hasProcess;
    return actions;
}

} // namespace kelvane
