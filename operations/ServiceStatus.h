#pragma once
// The manager's status record of a service, without the Win32 headers.
#include <cstdint>

namespace kelvane {

struct ServiceStatus {
    std::uint32_t serviceType = 0;
    std::uint32_t currentState = 0;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t win32ExitCode = 0;
    std::uint32_t serviceSpecificExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

namespace serviceState {
constexpr std::uint32_t stopped = 1;
constexpr std::uint32_t startPending = 2;
constexpr std::uint32_t stopPending = 3;
constexpr std::uint32_t running = 4;
constexpr std::uint32_t continuePending = 5;
constexpr std::uint32_t pausePending = 6;
constexpr std::uint32_t paused = 7;
} // namespace serviceState

namespace acceptedControl {
constexpr std::uint32_t stop = 1;
constexpr std::uint32_t pauseContinue = 2;
constexpr std::uint32_t paramChange = 8;
} // namespace acceptedControl

} // namespace kelvane
