// What the action buttons and the context menu offer for a service.
#include "operations/ActionAvailability.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

constexpr std::uint32_t stopped = 1, startPending = 2, running = 4, paused = 7;

ServiceCapabilities service(std::uint32_t state, std::uint32_t controls, std::int32_t startType = 3,
                            std::uint32_t type = 0x10) {
    ServiceCapabilities s;
    s.state = state;
    s.controls = controls;
    s.startType = startType;
    s.serviceType = type;
    return s;
}

} // namespace

TEST(ActionButtons, NothingIsOfferedWithoutASelectionOrWhileBusy) {
    const ServiceCapabilities anything = service(running, 0xFF);
    for (bool selected : {false, true}) {
        ActionButtons b = actionButtonsFor(selected, /*busy=*/selected, anything);
        EXPECT_FALSE(b.start || b.stop || b.pause || b.resume || b.restart || b.remove);
    }
}

TEST(ActionButtons, FollowTheStateAndTheAcceptedControls) {
    ActionButtons stoppedService = actionButtonsFor(true, false, service(stopped, 0));
    EXPECT_TRUE(stoppedService.start);
    EXPECT_TRUE(stoppedService.remove);
    EXPECT_FALSE(stoppedService.stop || stoppedService.pause || stoppedService.restart);

    EXPECT_FALSE(actionButtonsFor(true, false, service(startPending, 0)).start);

    ActionButtons pausable = actionButtonsFor(true, false, service(running, 1 | 2));
    EXPECT_FALSE(pausable.start);
    EXPECT_TRUE(pausable.stop && pausable.pause);
    EXPECT_FALSE(pausable.resume);
    EXPECT_TRUE(actionButtonsFor(true, false, service(paused, 2)).resume);
    EXPECT_FALSE(actionButtonsFor(true, false, service(paused, 2)).pause);
}

TEST(ActionButtons, DisabledServicesNeverStartAndRestartNeedsParameterChange) {
    EXPECT_FALSE(actionButtonsFor(true, false, service(stopped, 0, 4)).start);
    ActionButtons stopOnly = actionButtonsFor(true, false, service(running, 1));
    EXPECT_TRUE(stopOnly.stop);
    EXPECT_FALSE(stopOnly.restart) << "the stop bit says nothing about parameter change";
    EXPECT_TRUE(actionButtonsFor(true, false, service(running, 8)).restart);
    EXPECT_FALSE(actionButtonsFor(true, false, service(stopped, 8)).restart);
}

TEST(ContextMenuActions, StartTypesOfferOnlyOtherTypesAndBootOrSystemForDrivers) {
    ContextMenuActions forService = contextMenuActionsFor(service(stopped, 0, 3, 0x10), false);
    EXPECT_FALSE(forService.startType[0]);
    EXPECT_FALSE(forService.startType[1]);
    EXPECT_TRUE(forService.startType[2]);
    EXPECT_FALSE(forService.startType[3]) << "the current start type";
    EXPECT_TRUE(forService.startType[4]);

    for (std::uint32_t driverType : {1u, 2u}) {
        ContextMenuActions forDriver =
            contextMenuActionsFor(service(running, 0, 0, driverType), false);
        EXPECT_FALSE(forDriver.startType[0]);
        EXPECT_TRUE(forDriver.startType[1]);
        EXPECT_TRUE(forDriver.startType[4]);
    }
}

TEST(ContextMenuActions, KillNeedsALocalProcessAndMissingRightsLockEverything) {
    ServiceCapabilities withProcess = service(running, 1 | 2 | 8);
    withProcess.hasProcess = true;
    ContextMenuActions open = contextMenuActionsFor(withProcess, false);
    EXPECT_TRUE(open.kill && open.stop && open.pause && open.restart);
    EXPECT_FALSE(contextMenuActionsFor(service(running, 1), false).kill);
    ServiceCapabilities remote = withProcess;
    remote.onThisComputer = false;
    ContextMenuActions elsewhere = contextMenuActionsFor(remote, false);
    EXPECT_FALSE(elsewhere.kill) << "the id names a process of another computer";
    EXPECT_TRUE(elsewhere.stop);

    ContextMenuActions locked = contextMenuActionsFor(withProcess, true);
    EXPECT_FALSE(locked.kill || locked.stop || locked.pause || locked.restart || locked.start);
    for (bool type : locked.startType) {
        EXPECT_FALSE(type);
    }
}
