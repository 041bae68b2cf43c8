#pragma once
// Waiting until a service leaves its pending state. The platform reads the
// status, posts the progress message and waits; when to stop, and with what
// result or failure, is decided here.
#include "operations/ServiceStatus.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kelvane {

class StableStateProbe {
public:
    virtual ~StableStateProbe() = default;
    // Reads the service's status; on failure returns false and sets error.
    virtual bool readStatus(ServiceStatus& status, std::uint32_t& error) = 0;
    // Tells the window that the state is still changing.
    virtual void postProgress() = 0;
    // Waits ms milliseconds; false when the application is quitting.
    virtual bool wait(std::uint32_t ms) = 0;
    virtual std::uint32_t tickCount() = 0;
};

// 1 settled (running, stopped, paused or an unknown state), 0 still pending
// after timeoutMs, -1 the application quit during the wait. A service that
// stopped with an error raises: UserException with string 106 for a
// service-specific code, SDKException for any other code; a status that
// cannot be read raises LWE, unless a stopped service's pipe has ended.
int waitForStableState(StableStateProbe& probe, std::uint32_t control, std::uint32_t timeoutMs,
                       const std::function<std::string(unsigned id)>& loadString);

// The wait between two reads for a wait hint: 100 to 2000 milliseconds.
std::uint32_t pendingWaitMs(std::uint32_t waitHint);

} // namespace kelvane
