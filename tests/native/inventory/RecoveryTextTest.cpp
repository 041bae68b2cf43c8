// The "On failure" column in words.
#include "inventory/RecoveryText.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

const RecoveryWords englishWords{
    "no action",           "restart", "reboot", "run %#s", "%#s after %#s", "reset after %#s",
    "reboot message: %#s", "%u day",  "%u days"};

} // namespace

TEST(RecoveryTextTest, ActionsInOrderWithTheCommandAndTheResetPeriod) {
    FailureActions failure;
    failure.resetPeriodSeconds = 86400;
    failure.command = "C:\\x\\y.exe -a %1%";
    failure.actions = {{RecoveryAction::restart, 60000},
                       {RecoveryAction::restart, 60000},
                       {RecoveryAction::runCommand, 0}};
    EXPECT_EQ(recoveryText(failure, englishWords),
              "restart after 1 min, restart after 1 min, run C:\\x\\y.exe -a %1%; "
              "reset after 1 day");

    failure.resetPeriodSeconds = FailureActions::neverReset;
    failure.rebootMessage = "Going down";
    failure.actions = {{RecoveryAction::none, 0}, {RecoveryAction::reboot, 90000}};
    EXPECT_EQ(recoveryText(failure, englishWords),
              "no action, reboot after 90 s; reboot message: Going down");

    failure.actions.clear();
    EXPECT_EQ(recoveryText(failure, englishWords), "") << "no actions, nothing happens";
}
