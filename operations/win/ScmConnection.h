#pragma once
// The service control manager of one computer and the one service an
// operation works on. Made on the stack of one operation and never shared;
// it owns both handles, callers only borrow them.
#include "framework/win/UniqueHandle.h"
#include "operations/ManagerRights.h"

#include <windows.h>

#include <string>

namespace kelvane {

class ScmConnection {
public:
    ScmConnection() = default;
    ScmConnection(const ScmConnection&) = delete;
    ScmConnection& operator=(const ScmConnection&) = delete;

    // Opens the manager of host (empty: this computer) with exactly rights,
    // unless rights overlap what was asked before: then the open handle stays
    // and the result is null. Raises LWE "opening service manager".
    SC_HANDLE openManager(const std::string& host, DWORD rights,
                          const char* database = SERVICES_ACTIVE_DATABASEA);

    // Closes the current service and opens name, opening the manager of host
    // first if it is not open yet. Raises LWE "opening service".
    SC_HANDLE openService(const std::string& name, DWORD rights, const std::string& host = {});

    // Waits until name leaves its pending state, posting WM_APP to
    // progressWindow after each pending read. control is what was sent to
    // the service (0 for a start). 1 settled, 0 timed out, -1 the
    // application quit; see operations/StableStateWait.h for the failures.
    int waitForStableState(const std::string& name, DWORD control, HWND progressWindow,
                           bool pumpMessages, DWORD timeoutMs);

    // Creates a service with normal error control; its all-access handle
    // becomes the current service. No displayName means the name; an empty
    // account or password means none. Raises LWE "installing service".
    SC_HANDLE createService(const std::string& host, const std::string& name, const char* command,
                            const char* displayName, DWORD serviceType, DWORD startType,
                            const char* loadOrderGroup, const char* dependencies,
                            const char* account, const char* password);

    // Changes what is given (null texts and SERVICE_NO_CHANGE keep a value;
    // the error control is always kept). An empty account or password means
    // unchanged. Raises LWE "opening service" or "modifying service".
    void changeConfig(const std::string& host, const std::string& name, const char* command,
                      const char* displayName, DWORD serviceType, DWORD startType,
                      const char* loadOrderGroup, const char* dependencies, const char* account,
                      const char* password);

    SC_HANDLE manager() const { return manager_.get(); }
    DWORD managerRights() const { return managerRights_.recorded(); }
    SC_HANDLE service() const { return service_.get(); }

private:
    // Destroyed in reverse order: the service handle closes first.
    Plinth::UniqueServiceHandle manager_;
    ManagerRights managerRights_;
    Plinth::UniqueServiceHandle service_;
};

} // namespace kelvane
