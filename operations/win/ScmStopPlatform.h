#pragma once
// The platform side of stopping a service with its dependents: the real
// service control manager.
#include "operations/StopWithDependents.h"

#include <windows.h>

namespace kelvane {

class ScmStopPlatform : public StopPlatform {
public:
    explicit ScmStopPlatform(SC_HANDLE manager) : manager_(manager) {}

    std::uint32_t queryStatus(Handle service, ServiceStatus& status) override;
    std::uint32_t activeDependents(Handle service, std::vector<std::string>& names) override;
    std::uint32_t openDependent(const std::string& name, Handle& dependent) override;
    void close(Handle dependent) override;
    std::uint32_t sendStop(Handle service) override;
    bool sleep(std::uint32_t ms) override;
    std::uint64_t tickMs() override;

private:
    SC_HANDLE manager_;
};

} // namespace kelvane
