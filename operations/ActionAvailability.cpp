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

ControlActions controlActionsFor(const ServiceCapabilities& s) {
    ControlActions actions;
    actions.start = canStart(s);
    actions.stop = (s.controls & acceptedControl::stop) != 0;
    actions.pause = canPause(s);
    actions.resume = canResume(s);
    actions.restart = canRestart(s);
    return actions;
}

} // namespace

ActionButtons actionButtonsFor(bool selected, bool busy, const ServiceCapabilities& service) {
    ActionButtons buttons;
    if (!selected || busy) {
        return buttons;
    }
    static_cast<ControlActions&>(buttons) = controlActionsFor(service);
    buttons.remove = true;
    return buttons;
}

ContextMenuActions contextMenuActionsFor(const ServiceCapabilities& service, bool actionsLocked) {
    ContextMenuActions actions;
    if (actionsLocked) {
        return actions;
    }
    static_cast<ControlActions&>(actions) = controlActionsFor(service);
    const bool driver = service.serviceType == 1 || service.serviceType == 2;
    for (int type = 0; type < 5; ++type) {
        const bool bootOrSystem = type == 0 || type == 1;
        actions.startType[type] = type != service.startType && (driver || !bootOrSystem);
    }
    actions.kill = service.hasProcess && service.onThisComputer;
    return actions;
}

} // namespace kelvane
