#pragma once
// Uniquely named services in the real service control manager, deleted again
// when the owner goes, also when a test fails. Names are "kvtest-<pid>-<n>";
// services left by a test process that died are swept away at the next start.
#include "framework/win/UniqueHandle.h"
#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace kelvane::test {

struct TestServiceSetup {
    std::string arguments;   // for the test service, see tools/kelvane-test-service
    std::string binaryPath;  // instead of the test service
    std::string displayName; // defaults to the name
    DWORD type = SERVICE_WIN32_OWN_PROCESS;
    DWORD startType = SERVICE_DEMAND_START;
    std::string loadOrderGroup;
};

namespace detail {

inline Plinth::UniqueServiceHandle openService(const std::string& name, DWORD access) {
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    return Plinth::UniqueServiceHandle(OpenServiceA(manager.get(), name.c_str(), access));
}

inline std::string nextServiceName() {
    static int counter = 0;
    return "kvtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

} // namespace detail

inline SERVICE_STATUS_PROCESS queryStatus(const std::string& name) {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    QueryServiceStatusEx(detail::openService(name, SERVICE_QUERY_STATUS).get(),
                         SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                         &needed);
    return status;
}

inline bool startService(const std::string& name) {
    return StartServiceA(detail::openService(name, SERVICE_START).get(), 0, nullptr);
}

// Polls every 50 ms; false when the state was not reached in time.
inline bool waitForState(const std::string& name, DWORD state, unsigned timeoutMs = 10000) {
    return waitUntil([&] { return queryStatus(name).dwCurrentState == state; }, timeoutMs);
}

// Stops the service by any means and deletes it.
inline void destroyService(const std::string& name) {
    auto service = detail::openService(name, SERVICE_STOP | DELETE);
    // Every state above stopped is running or on its way.
    if (queryStatus(name).dwCurrentState > SERVICE_STOPPED) {
        SERVICE_STATUS status{};
        ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
        if (!waitForState(name, SERVICE_STOPPED, 3000)) {
            // A service that hangs in stop pending: end its process.
            Plinth::UniqueHandleObject process(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, queryStatus(name).dwProcessId));
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 3000);
            waitForState(name, SERVICE_STOPPED, 3000);
        }
    }
    DeleteService(service.get());
}

class TestServices {
public:
    // Deletes every "kvtest-" service whose creating process is gone, once per
    // test process.
    TestServices() {
        static bool swept = false;
        if (std::exchange(swept, true)) {
            return;
        }
        Plinth::UniqueServiceHandle manager(
            OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_CONNECT));
        std::vector<BYTE> buffer(256 * 1024);
        DWORD needed = 0, count = 0, resume = 0;
        EnumServicesStatusExA(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                              SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                              &needed, &count, &resume, nullptr);
        auto entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            const std::string name = entries[i].lpServiceName;
            if (name.rfind("kvtest-", 0) != 0) {
                continue;
            }
            const DWORD owner = std::strtoul(name.c_str() + 7, nullptr, 10);
            Plinth::UniqueHandleObject process(OpenProcess(SYNCHRONIZE, FALSE, owner));
            // A process that cannot be opened is gone too.
            if (owner == GetCurrentProcessId() ||
                WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) {
                destroyService(name);
            }
        }
    }
    ~TestServices() {
        for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
            destroyService(*it);
        }
    }
    TestServices(const TestServices&) = delete;
    TestServices& operator=(const TestServices&) = delete;

    // Creates a service; fails the test (and returns "") when that fails.
    std::string create(const TestServiceSetup& setup = {}) {
        const std::string name = detail::nextServiceName();
        const std::string binary = setup.binaryPath.empty()
                                       ? "\"" + testServicePath() + "\" " + setup.arguments
                                       : setup.binaryPath;
        const std::string& display = setup.displayName.empty() ? name : setup.displayName;
        Plinth::UniqueServiceHandle manager(
            OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        Plinth::UniqueServiceHandle service(
            CreateServiceA(manager.get(), name.c_str(), display.c_str(), SERVICE_ALL_ACCESS,
                           setup.type, setup.startType, SERVICE_ERROR_IGNORE, binary.c_str(),
                           setup.loadOrderGroup.empty() ? nullptr : setup.loadOrderGroup.c_str(),
                           nullptr, nullptr, nullptr, nullptr));
        return service ? remember(name) : failed("CreateServiceA " + name, GetLastError());
    }
    // Creates one the way an administrator does: "sc.exe create NAME " and
    // the arguments ("type= kernel start= demand binPath= ...").
    std::string createWithSc(const std::string& arguments) {
        const std::string name = detail::nextServiceName();
        std::string output;
        const int code = runProcess("sc.exe create " + name + " " + arguments, &output);
        return code == 0 ? remember(name) : failed("sc.exe create " + name + ": " + output, code);
    }
    // Stops and deletes one of ours now.
    void remove(const std::string& name) {
        destroyService(name);
        names_.erase(std::remove(names_.begin(), names_.end(), name), names_.end());
    }

    const std::vector<std::string>& names() const { return names_; }

    static std::string testServicePath() { return programPath("kelvane-test-service.exe"); }

private:
    std::string remember(const std::string& name) {
        names_.push_back(name);
        return name;
    }
    static std::string failed(const std::string& what, long code) {
        ADD_FAILURE() << what << " failed: " << code;
        return {};
    }

    std::vector<std::string> names_;
};

class ServiceFixture : public ::testing::Test {
protected:
    TestServices services;
};

} // namespace kelvane::test
