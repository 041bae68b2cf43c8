#include "operations/win/ScmStopPlatform.h"

#include "framework/win/DispatchingWaits.h"

namespace kelvane {

namespace {

SC_HANDLE handleOf(StopPlatform::Handle handle) {
    return static_cast<SC_HANDLE>(handle);
}

} // namespace

std::uint32_t ScmStopPlatform::queryStatus(Handle service, ServiceStatus& status) {
    SERVICE_STATUS raw = {};
    if (!QueryServiceStatus(handleOf(service), &raw)) {
        return GetLastError();
    }
    status = {raw.dwServiceType,
              raw.dwCurrentState,
              raw.dwControlsAccepted,
              raw.dwWin32ExitCode,
              raw.dwServiceSpecificExitCode,
              raw.dwCheckPoint,
              raw.dwWaitHint};
    return 0;
}

std::uint32_t ScmStopPlatform::activeDependents(Handle service, std::vector<std::string>& names) {
    DWORD needed = 0, count = 0;
    if (EnumDependentServicesA(handleOf(service), SERVICE_ACTIVE, nullptr, 0, &needed, &count)) {
        return 0; // none
    }
    DWORD error = GetLastError();
    if (error != ERROR_MORE_DATA) {
        return error;
    }
    std::vector<BYTE> buffer(needed);
    auto entries = reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data());
    if (!EnumDependentServicesA(handleOf(service), SERVICE_ACTIVE, entries, needed, &needed,
                                &count)) {
        return GetLastError();
    }
    for (DWORD i = 0; i < count; ++i) {
        names.emplace_back(entries[i].lpServiceName ? entries[i].lpServiceName : "");
    }
    return 0;
}

std::uint32_t ScmStopPlatform::openDependent(const std::string& name, Handle& dependent) {
    dependent = OpenServiceA(manager_, name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS);
    return dependent ? 0 : GetLastError();
}

void ScmStopPlatform::close(Handle dependent) {
    CloseServiceHandle(handleOf(dependent));
}

std::uint32_t ScmStopPlatform::sendStop(Handle service) {
    SERVICE_STATUS status;
    return ControlService(handleOf(service), SERVICE_CONTROL_STOP, &status) ? 0 : GetLastError();
}

// The window keeps answering while dependents stop.
bool ScmStopPlatform::sleep(std::uint32_t ms) {
    return Plinth::sleepDispatching(ms) == 1;
}

std::uint64_t ScmStopPlatform::tickMs() {
    return GetTickCount64();
}

} // namespace kelvane
