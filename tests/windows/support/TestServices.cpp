#include "tests/windows/support/TestServices.h"

#include "framework/win/UniqueHandle.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace kelvane::test {

namespace {

using Plinth::UniqueServiceHandle;

UniqueServiceHandle openManager(DWORD access = SC_MANAGER_ALL_ACCESS) {
    return UniqueServiceHandle(OpenSCManagerA(nullptr, nullptr, access));
}

UniqueServiceHandle openService(const std::string& name, DWORD access = SERVICE_ALL_ACCESS) {
    auto manager = openManager(SC_MANAGER_CONNECT);
    return UniqueServiceHandle(manager ? OpenServiceA(manager.get(), name.c_str(), access)
                                       : nullptr);
}

int counter = 0;

std::string nextName() {
    return "kvtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

} // namespace

// Deletes every "kvtest-" service whose creating process is gone, once per
// test process.
TestServices::TestServices() {
    static bool swept = false;
    if (std::exchange(swept, true)) {
        return;
    }
    auto manager = openManager(SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_CONNECT);
    std::vector<BYTE> buffer(256 * 1024);
    DWORD needed = 0, count = 0, resume = 0;
    if (!manager ||
        !EnumServicesStatusExA(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                               SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                               &needed, &count, &resume, nullptr)) {
        return;
    }
    auto entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        std::string name = entries[i].lpServiceName;
        if (name.rfind("kvtest-", 0) != 0) {
            continue;
        }
        DWORD owner = std::strtoul(name.c_str() + 7, nullptr, 10);
        Plinth::UniqueHandleObject process(OpenProcess(SYNCHRONIZE, FALSE, owner));
        if (owner == GetCurrentProcessId() || !process ||
            WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) {
            destroyService(name);
        }
    }
}

TestServices::~TestServices() {
    for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
        destroyService(*it);
    }
}

std::string TestServices::testServicePath() {
    return programPath("kelvane-test-service.exe");
}

std::string TestServices::create(const TestServiceSetup& setup) {
    std::string name = nextName();
    std::string binary = setup.binaryPath.empty()
                             ? "\"" + testServicePath() + "\" " + setup.arguments
                             : setup.binaryPath;
    std::string display = setup.displayName.empty() ? name : setup.displayName;
    auto manager = openManager();
    if (!manager) {
        ADD_FAILURE() << "OpenSCManagerA failed: " << GetLastError();
        return {};
    }
    UniqueServiceHandle service(
        CreateServiceA(manager.get(), name.c_str(), display.c_str(), SERVICE_ALL_ACCESS, setup.type,
                       setup.startType, SERVICE_ERROR_IGNORE, binary.c_str(),
                       setup.loadOrderGroup.empty() ? nullptr : setup.loadOrderGroup.c_str(),
                       nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        ADD_FAILURE() << "CreateServiceA " << name << " failed: " << GetLastError();
        return {};
    }
    names_.push_back(name);
    return name;
}

std::string TestServices::createWithSc(const std::string& arguments) {
    std::string name = nextName();
    std::string output;
    if (runProcess("sc.exe create " + name + " " + arguments, &output) != 0) {
        ADD_FAILURE() << "sc.exe create " << name << " failed: " << output;
        return {};
    }
    names_.push_back(name);
    return name;
}

void TestServices::remove(const std::string& name) {
    destroyService(name);
    names_.erase(std::remove(names_.begin(), names_.end(), name), names_.end());
}

SERVICE_STATUS_PROCESS queryStatus(const std::string& name) {
    SERVICE_STATUS_PROCESS status{};
    auto service = openService(name, SERVICE_QUERY_STATUS);
    DWORD needed = 0;
    if (service) {
        QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                             reinterpret_cast<BYTE*>(&status), sizeof status, &needed);
    }
    return status;
}

bool startService(const std::string& name) {
    auto service = openService(name, SERVICE_START);
    return service && StartServiceA(service.get(), 0, nullptr);
}

bool controlService(const std::string& name, DWORD control) {
    auto service = openService(name, SERVICE_ALL_ACCESS);
    SERVICE_STATUS status{};
    return service && ControlService(service.get(), control, &status);
}

bool waitForState(const std::string& name, DWORD state, unsigned timeoutMs) {
    return waitUntil([&] { return queryStatus(name).dwCurrentState == state; }, timeoutMs);
}

void destroyService(const std::string& name) {
    SERVICE_STATUS_PROCESS status = queryStatus(name);
    if (status.dwCurrentState != 0 && status.dwCurrentState != SERVICE_STOPPED) {
        controlService(name, SERVICE_CONTROL_STOP);
        if (!waitForState(name, SERVICE_STOPPED, 3000)) {
            // A service that hangs in stop pending: end its process.
            status = queryStatus(name);
            Plinth::UniqueHandleObject process(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
            if (process) {
                TerminateProcess(process.get(), 1);
                WaitForSingleObject(process.get(), 3000);
            }
            waitForState(name, SERVICE_STOPPED, 3000);
        }
    }
    if (auto service = openService(name, DELETE)) {
        DeleteService(service.get());
    }
}

} // namespace kelvane::test
