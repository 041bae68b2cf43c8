#include "operations/win/ScmConnection.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/ModuleResources.h"
#include "operations/StableStateWait.h"

namespace kelvane {

namespace {

constexpr DWORD queryStatusRight = SERVICE_QUERY_STATUS;

const char* orNull(const char* text) {
    return text && *text ? text : nullptr;
}

[[noreturn]] void raise(DWORD error, const char* context, const std::string& object) {
    Plinth::ErrorContext step(context, object);
    throw Plinth::LWE(error);
}

// With pumpMessages the window keeps running while a service settles; false
// when the application is quitting.
bool sleepForPendingState(DWORD ms, bool pumpMessages) {
    if (!pumpMessages) {
        Sleep(ms);
        return true;
    }
    return Plinth::sleepDispatching(ms) == 1;
}

class ServiceStatusReader : public StableStateProbe {
public:
    ServiceStatusReader(SC_HANDLE service, HWND window, bool pumpMessages)
        : service_(service), window_(window), pumpMessages_(pumpMessages) {}

    bool readStatus(ServiceStatus& status, std::uint32_t& error) override {
        SERVICE_STATUS s{};
        if (!QueryServiceStatus(service_, &s)) {
            error = GetLastError();
            return false;
        }
        status = {s.dwServiceType,
                  s.dwCurrentState,
                  s.dwControlsAccepted,
                  s.dwWin32ExitCode,
                  s.dwServiceSpecificExitCode,
                  s.dwCheckPoint,
                  s.dwWaitHint};
        return true;
    }
    void postProgress() override {
        // Without a window the message would land in this thread's queue.
        if (window_) {
            PostMessageA(window_, WM_APP, 0, 0);
        }
    }
    bool wait(std::uint32_t ms) override { return sleepForPendingState(ms, pumpMessages_); }
    std::uint32_t tickCount() override { return GetTickCount(); }

private:
    SC_HANDLE service_;
    HWND window_;
    bool pumpMessages_;
};

} // namespace

SC_HANDLE ScmConnection::openManager(const std::string& host, DWORD rights, const char* database) {
    if (!managerRights_.request(rights)) {
        return nullptr;
    }
    manager_.reset();
    manager_.reset(OpenSCManagerA(host.empty() ? nullptr : host.c_str(), database, rights));
    if (!manager_) {
        DWORD error = GetLastError();
        // No handle holds the recorded rights now; a later call may retry.
        managerRights_.forget();
        raise(error, "opening service manager", host);
    }
    return manager_.get();
}

SC_HANDLE ScmConnection::openService(const std::string& name, DWORD rights,
                                     const std::string& host) {
    service_.reset();
    openManager(host, managerRight::enumerate);
    service_.reset(OpenServiceA(manager_.get(), name.c_str(), rights));
    if (!service_) {
        raise(GetLastError(), "opening service", name);
    }
    return service_.get();
}

int ScmConnection::waitForStableState(const std::string& name, DWORD control, HWND progressWindow,
                                      bool pumpMessages, DWORD timeoutMs) {
    ServiceStatusReader reader(openService(name, queryStatusRight), progressWindow, pumpMessages);
    return kelvane::waitForStableState(reader, control, timeoutMs, Plinth::loadString);
}

SC_HANDLE ScmConnection::createService(const std::string& host, const std::string& name,
                                       const char* command, const char* displayName,
                                       DWORD serviceType, DWORD startType,
                                       const char* loadOrderGroup, const char* dependencies,
                                       const char* account, const char* password) {
    service_.reset();
    openManager(host, managerRight::createService);
    service_.reset(
        CreateServiceA(manager_.get(), name.c_str(), displayName ? displayName : name.c_str(),
                       SERVICE_ALL_ACCESS, serviceType, startType, SERVICE_ERROR_NORMAL, command,
                       loadOrderGroup, nullptr, dependencies, orNull(account), orNull(password)));
    if (!service_) {
        raise(GetLastError(), "installing service", name);
    }
    return service_.get();
}

void ScmConnection::changeConfig(const std::string& host, const std::string& name,
                                 const char* command, const char* displayName, DWORD serviceType,
                                 DWORD startType, const char* loadOrderGroup,
                                 const char* dependencies, const char* account,
                                 const char* password) {
    openService(name, SERVICE_CHANGE_CONFIG, host);
    if (!ChangeServiceConfigA(service_.get(), serviceType, startType, SERVICE_NO_CHANGE, command,
                              loadOrderGroup, nullptr, dependencies, orNull(account),
                              orNull(password), displayName)) {
        raise(GetLastError(), "modifying service", name);
    }
}

} // namespace kelvane
