#pragma once
// Stopping a service whose dependents still run: each active dependent gets
// one stop request and is waited for, then the service itself, all within
// one deadline. The platform calls come through StopPlatform, so the rules
// run natively and against stand-ins for what a real manager rarely does
// (refusing with 1051, dependents that hang).
#include "operations/ServiceStatus.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

class StopPlatform {
public:
    using Handle = void*;
    virtual ~StopPlatform() = default;
    // Each returns 0 or the platform's error code.
    virtual std::uint32_t queryStatus(Handle service, ServiceStatus& status) = 0;
    virtual std::uint32_t activeDependents(Handle service, std::vector<std::string>& names) = 0;
    // Opens a dependent with stop and query-status rights.
    virtual std::uint32_t openDependent(const std::string& name, Handle& dependent) = 0;
    virtual void close(Handle dependent) = 0;
    virtual std::uint32_t sendStop(Handle service) = 0;
    // Waits ms milliseconds; false when the application is quitting.
    virtual bool sleep(std::uint32_t ms) = 0;
    virtual std::uint64_t tickMs() = 0;
};

constexpr std::uint32_t errorTimeout = 1460;
constexpr std::uint32_t errorCancelled = 1223;

// 0 when the service has stopped, else the platform's error code,
// errorTimeout when timeoutMs have passed since the call began, or
// errorCancelled when the application quit meanwhile. Between two status
// reads it waits the wait hint, kept to 100 ms..2 s: a hint of 0 must not
// poll without a pause, and one of minutes must not outlast the deadline.
std::uint32_t stopWithDependents(StopPlatform& platform, StopPlatform::Handle service,
                                 bool stopDependents, std::uint32_t timeoutMs);

} // namespace kelvane
