#pragma once
// The recovery actions of a service in words, as the "On failure" column
// shows them: "restart after 1 min, run C:\x\y.exe -a; reset after 1 day".
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// What the manager does after the service's first, second, ... failure.
struct RecoveryAction {
    enum Type : std::uint32_t { none = 0, restart = 1, reboot = 2, runCommand = 3 };
    std::uint32_t type = none;
    std::uint32_t delayMs = 0;
};

struct FailureActions {
    static constexpr std::uint32_t neverReset = 0xFFFFFFFF;
    std::uint32_t resetPeriodSeconds = neverReset;
    std::string rebootMessage;
    std::string command; // what a run-command action starts
    std::vector<RecoveryAction> actions;
};

// In the user-interface language. The patterns take texts with "%#s" and
// numbers with "%u".
struct RecoveryWords {
    std::string noAction, restart, reboot;
    std::string run;           // "run %#s": the command
    std::string after;         // "%#s after %#s": an action, a duration
    std::string reset;         // "reset after %#s": a duration
    std::string rebootMessage; // "reboot message: %#s"
    std::string day, days;     // "%u day", "%u days"
};

// "90 s", "1 min", "2 h", "1 day": the largest unit that divides the time.
std::string durationText(std::uint64_t milliseconds, const RecoveryWords& words);

// Empty when there are no actions: nothing happens on a failure then.
std::string recoveryText(const FailureActions& failure, const RecoveryWords& words);

} // namespace kelvane
