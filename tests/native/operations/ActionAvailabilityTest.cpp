// What the action buttons and the context menu offer for a service.
#include "operations/ActionAvailability.h"

#include <gtest/gtest.h>

#include <array>

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

std::string offered(const ControlActions& a) {
    return std::string(a.start ? "start " : "") + (a.stop ? "stop " : "") +
           (a.pause ? "pause " : "") + (a.resume ? "resume " : "") + (a.restart ? "restart " : "");
}

} // namespace

TEST(ActionButtons, FollowTheStateTheAcceptedControlsAndTheStartType) {
    // Controls: 1 stop, 2 pause and continue, 8 parameter change (restart).
    const struct {
        ServiceCapabilities service;
        const char* buttons;
    } cases[] = {
        {service(stopped, 0), "start "},
        {service(stopped, 0, 4), ""}, // disabled services never start
        {service(startPending, 0), ""},
        {service(running, 1 | 2), "stop pause "},
        {service(running, 1), "stop "}, // the stop bit says nothing about restart
        {service(running, 8), "restart "},
        {service(paused, 2), "start resume "},
    };
    for (const auto& c : cases) {
        const ActionButtons b = actionButtonsFor(true, false, c.service);
        EXPECT_EQ(offered(b), c.buttons) << c.service.state << " " << c.service.controls;
        EXPECT_TRUE(b.remove);
    }
    for (bool selected : {false, true}) {
        const ActionButtons b =
            actionButtonsFor(selected, /*busy=*/selected, service(running, 0xFF));
        EXPECT_EQ(offered(b), "") << "no selection, or busy";
        EXPECT_FALSE(b.remove);
    }
}

TEST(ContextMenuActions, OtherStartTypesBootOrSystemForDriversAndKillForALocalProcess) {
    const struct {
        std::uint32_t type;
        std::int32_t startType;
        std::array<bool, 5> offered;
    } cases[] = {
        {0x10, 3, {false, false, true, false, true}},
        {0x01, 0, {false, true, true, true, true}},
        {0x02, 4, {true, true, true, true, false}},
        {0x04, 2, {false, false, false, true, true}},
    };
    for (const auto& c : cases) {
        const ContextMenuActions menu =
            contextMenuActionsFor(service(1, 0, c.startType, c.type), false);
        for (int type = 0; type < 5; ++type) {
            EXPECT_EQ(menu.startType[type], c.offered[type]) << c.type << " " << type;
        }
    }

    // Kill needs a local process, and missing rights lock everything.
    ServiceCapabilities withProcess = service(running, 1 | 2 | 8);
    withProcess.hasProcess = true;
    EXPECT_TRUE(contextMenuActionsFor(withProcess, false).kill);
    EXPECT_FALSE(contextMenuActionsFor(service(running, 1), false).kill);
    ServiceCapabilities remote = withProcess;
    remote.onThisComputer = false;
    EXPECT_FALSE(contextMenuActionsFor(remote, false).kill)
        << "the id names a process of another computer";

    const ContextMenuActions locked = contextMenuActionsFor(withProcess, true);
    EXPECT_FALSE(locked.kill);
    EXPECT_EQ(offered(locked), "");
    EXPECT_FALSE(locked.startType[2]);
}
