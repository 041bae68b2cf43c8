// Which actions a selected service allows, and the rules of connecting to
// another computer that need no platform.
#include "operations/ActionRules.h"
#include "operations/RemoteHost.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

ServiceStatus statusOf(std::uint32_t state, std::uint32_t accepted) {
    ServiceStatus status;
    status.currentState = state;
    status.controlsAccepted = accepted;
    return status;
}

} // namespace

TEST(ActionRulesTest, NothingWithoutEntryOrWhileBusy) {
    ServiceStatus all = statusOf(serviceState::running, 0xF);
    for (auto states : {actionStates(false, false, 3, all), actionStates(true, true, 3, all)}) {
        EXPECT_FALSE(states.start || states.stop || states.pause || states.resume ||
                     states.restart || states.remove);
    }
}

TEST(ActionRulesTest, ButtonsFollowStateAndAcceptedControls) {
    auto running = actionStates(true, false, 3, statusOf(serviceState::running, 0x1 | 0x2));
    EXPECT_FALSE(running.start);
    EXPECT_TRUE(running.stop);
    EXPECT_TRUE(running.pause);
    EXPECT_FALSE(running.resume);
    EXPECT_FALSE(running.restart) << "restart needs the parameter-change bit, not stop";
    EXPECT_TRUE(running.remove);

    auto restartable = actionStates(true, false, 3, statusOf(serviceState::running, 0x8));
    EXPECT_TRUE(restartable.restart);
    EXPECT_FALSE(restartable.stop);

    auto paused = actionStates(true, false, 3, statusOf(serviceState::paused, 0x3 | 0x8));
    EXPECT_TRUE(paused.resume);
    EXPECT_FALSE(paused.pause);
    EXPECT_FALSE(paused.restart);
    EXPECT_TRUE(paused.start) << "start is refused only when running or starting";

    EXPECT_FALSE(actionStates(true, false, 3, statusOf(serviceState::startPending, 0)).start);
    EXPECT_TRUE(actionStates(true, false, 3, statusOf(serviceState::stopped, 0)).start);
    EXPECT_FALSE(actionStates(true, false, 4, statusOf(serviceState::stopped, 0)).start)
        << "a disabled service never offers start";
}

TEST(ActionRulesTest, BootAndSystemStartOnlyForDrivers) {
    for (std::uint32_t type : {0x10u, 0x20u, 0x110u}) {
        EXPECT_FALSE(startTypeOffered(0, 3, type)) << type;
        EXPECT_FALSE(startTypeOffered(1, 3, type)) << type;
        EXPECT_TRUE(startTypeOffered(2, 3, type)) << type;
        EXPECT_FALSE(startTypeOffered(3, 3, type)) << "the current one is not offered";
    }
    EXPECT_TRUE(startTypeOffered(0, 3, 0x1));
    EXPECT_TRUE(startTypeOffered(1, 3, 0x2));
    EXPECT_FALSE(startTypeOffered(0, 0, 0x1));
}

TEST(RemoteHostTest, ShareNameAndOfferedUser) {
    EXPECT_EQ(ipcShareName("fileserver"), "\\\\fileserver\\IPC$");
    EXPECT_EQ(offeredUserName("admin", true, "someone"), "admin");
    EXPECT_EQ(offeredUserName("", true, "someone"), "someone");
    EXPECT_EQ(offeredUserName("", true, "SYSTEM"), "");
    EXPECT_EQ(offeredUserName("", true, "System"), "System") << "only the exact name";
    EXPECT_EQ(offeredUserName("", false, "garbage"), "");
}
