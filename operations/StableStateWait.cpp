#include "operations/StableStateWait.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"

namespace kelvane {

namespace {

constexpr std::uint32_t stopControl = 1;
constexpr std::uint32_t brokenPipe = 109;
constexpr std::uint32_t serviceSpecificError = 1066;
constexpr unsigned serviceSpecificErrorText = 106;

bool isPending(std::uint32_t state) {
    return state >= serviceState::startPending && state <= serviceState::pausePending &&
           state != serviceState::running;
}

} // namespace

std::uint32_t pendingWaitMs(std::uint32_t waitHint) {
    return waitHint < 100 ? 100 : waitHint > 2000 ? 2000 : waitHint;
}

int waitForStableState(StableStateProbe& probe, std::uint32_t control, std::uint32_t timeoutMs,
                       const std::function<std::string(unsigned id)>& loadString) {
    std::uint32_t start = probe.tickCount();
    ServiceStatus status;
    std::uint32_t error = 0;
    bool read = probe.readStatus(status, error);
    for (;;) {
        if (!read) {
            // A service that has stopped may close its pipe before we ask.
            if (control == stopControl && error == brokenPipe) {
                return 1;
            }
            throw Plinth::LWE(error);
        }
        if (status.win32ExitCode == serviceSpecificError) {
            throw Plinth::UserException(
                Plinth::formatText(loadString(serviceSpecificErrorText).c_str(),
                                   static_cast<int>(status.serviceSpecificExitCode & 0xFFFF)));
        }
        if (status.win32ExitCode != 0) {
            throw Plinth::SDKException(status.win32ExitCode);
        }
        if (!isPending(status.currentState)) {
            return 1;
        }
        probe.postProgress();
        if (!probe.wait(pendingWaitMs(status.waitHint))) {
            return -1;
        }
        if (probe.tickCount() - start >= timeoutMs) {
            return 0;
        }
        read = probe.readStatus(status, error);
    }
}

} // namespace kelvane
