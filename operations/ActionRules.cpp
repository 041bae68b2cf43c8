#include "operations/ActionRules.h"

namespace kelvane {

namespace {

constexpr std::uint32_t disabledStart = 4;
constexpr std::uint32_t bootStart = 0;
constexpr std::uint32_t systemStart = 1;
constexpr std::uint32_t driverTypes = 0x1 | 0x2; // kernel, file system

} // namespace

ActionStates actionStates(bool haveEntry, bool busy, std::uint32_t startType,
                          const ServiceStatus& status) {
    ActionStates states;
    if (!haveEntry || busy) {
        return states;
    }
    const std::uint32_t state = status.currentState;
    const std::uint32_t accepted = status.controlsAccepted;
    states.start = startType != disabledStart && state != serviceState::running &&
                   state != serviceState::startPending;
    states.stop = (accepted & acceptedControl::stop) != 0;
    states.pause = (accepted & acceptedControl::pauseContinue) && state == serviceState::running;
    states.resume = (accepted & acceptedControl::pauseContinue) && state == serviceState::paused;
    // Restart sends the parameter-change control, so it needs that bit, not
    // the stop bit.
    states.restart = (accepted & acceptedControl::paramChange) && state == serviceState::running;
    states.remove = true;
    return states;
}

bool startTypeOffered(std::uint32_t startType, std::uint32_t currentStartType,
                      std::uint32_t serviceType) {
    if (startType == currentStartType) {
        return false;
    }
    if (startType == bootStart || startType == systemStart) {
        return (serviceType & driverTypes) != 0;
    }
    return true;
}

} // namespace kelvane
