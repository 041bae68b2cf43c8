#include "operations/StopWithDependents.h"

#include "operations/StableStateWait.h"

namespace kelvane {

namespace {

class Deadline {
public:
    Deadline(StopPlatform& platform, std::uint32_t timeoutMs)
        : platform_(platform), start_(platform.tickMs()), timeoutMs_(timeoutMs) {}
    bool passed() const { return platform_.tickMs() - start_ > timeoutMs_; }

private:
    StopPlatform& platform_;
    std::uint64_t start_;
    std::uint32_t timeoutMs_;
};

// Sleeps the wait hint and reads the status until the service has stopped.
std::uint32_t waitUntilStopped(StopPlatform& platform, StopPlatform::Handle service,
                               ServiceStatus status, const Deadline& deadline) {
    while (status.currentState != serviceState::stopped) {
        if (!platform.sleep(pendingWaitMs(status.waitHint))) {
            return errorCancelled;
        }
        if (std::uint32_t error = platform.queryStatus(service, status)) {
            return error;
        }
        if (status.currentState != serviceState::stopped && deadline.passed()) {
            return errorTimeout;
        }
    }
    return 0;
}

class DependentHandle {
public:
    explicit DependentHandle(StopPlatform& platform) : platform_(platform) {}
    ~DependentHandle() {
        if (handle) {
            platform_.close(handle);
        }
    }
    DependentHandle(const DependentHandle&) = delete;
    DependentHandle& operator=(const DependentHandle&) = delete;
    StopPlatform::Handle handle = nullptr;

private:
    StopPlatform& platform_;
};

std::uint32_t stopDependents(StopPlatform& platform, StopPlatform::Handle service,
                             const Deadline& deadline) {
    std::vector<std::string> names;
    if (std::uint32_t error = platform.activeDependents(service, names)) {
        return error;
    }
    // Dependents of dependents are not followed: each gets one stop request.
    for (const std::string& name : names) {
        DependentHandle dependent(platform);
        if (std::uint32_t error = platform.openDependent(name, dependent.handle)) {
            return error;
        }
        if (std::uint32_t error = platform.sendStop(dependent.handle)) {
            return error;
        }
        ServiceStatus status;
        status.currentState = serviceState::stopPending;
        if (std::uint32_t error = waitUntilStopped(platform, dependent.handle, status, deadline)) {
            return error;
        }
    }
    return 0;
}

} // namespace

std::uint32_t stopWithDependents(StopPlatform& platform, StopPlatform::Handle service,
                                 bool withDependents, std::uint32_t timeoutMs) {
    const Deadline deadline(platform, timeoutMs);
    ServiceStatus status;
    if (std::uint32_t error = platform.queryStatus(service, status)) {
        return error;
    }
    if (status.currentState == serviceState::stopped) {
        return 0;
    }
    while (status.currentState == serviceState::stopPending) {
        if (!platform.sleep(pendingWaitMs(status.waitHint))) {
            return errorCancelled;
        }
        if (std::uint32_t error = platform.queryStatus(service, status)) {
            return error;
        }
        if (status.currentState == serviceState::stopped) {
            return 0;
        }
        if (deadline.passed()) {
            return errorTimeout;
        }
    }
    if (withDependents) {
        if (std::uint32_t error = stopDependents(platform, service, deadline)) {
            return error;
        }
    }
    if (std::uint32_t error = platform.sendStop(service)) {
        return error;
    }
    status.currentState = serviceState::stopPending;
    return waitUntilStopped(platform, service, status, deadline);
}

} // namespace kelvane
