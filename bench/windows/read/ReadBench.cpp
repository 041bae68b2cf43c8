// A full read of many services against the bare loop of platform calls a
// read cannot do without: enumerate, open and query each configuration,
// open the service's registry key for its time, search the image file.
// Prints "figure service-read ours <ns> baseline <ns>".
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/win/ImagePathSearch.h"
#include "inventory/win/ServiceRead.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kelvane;
using Plinth::UniqueServiceHandle;

namespace {

constexpr const char* servicesPath = "SYSTEM\\CurrentControlSet\\Services";

double nanosecondsOf(void (*body)(SC_HANDLE, HKEY), SC_HANDLE manager, HKEY key, int rounds) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        body(manager, key);
        double ns =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count();
        best = ns < best ? ns : best;
    }
    return best;
}

void ourRead(SC_HANDLE manager, HKEY key) {
    static const std::string windowsDir = lowerCaseWindowsDirectory();
    ReaderShared shared;
    ReadContext context;
    context.manager = manager;
    context.servicesKey = key;
    context.texts = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    context.resolveImagePath = [](const std::string& command) {
        return resolveImagePath(command, true, windowsDir);
    };
    readAllServices(context, shared);
}

void bareLoop(SC_HANDLE manager, HKEY key) {
    std::vector<BYTE> buffer(1 << 20), config(8192);
    for (DWORD state : {SERVICE_ACTIVE, SERVICE_INACTIVE}) {
        DWORD needed = 0, count = 0, resume = 0;
        if (!EnumServicesStatusExA(manager, SC_ENUM_PROCESS_INFO, 0x13F, state, buffer.data(),
                                   static_cast<DWORD>(buffer.size()), &needed, &count, &resume,
                                   nullptr)) {
            std::fprintf(stderr, "enumeration failed: %lu\n", GetLastError());
            std::exit(1);
        }
        auto entries = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            UniqueServiceHandle service(
                OpenServiceA(manager, entries[i].lpServiceName, SERVICE_QUERY_CONFIG));
            auto qsc = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config.data());
            if (service && QueryServiceConfigA(service.get(), qsc,
                                               static_cast<DWORD>(config.size()), &needed)) {
                char found[MAX_PATH];
                SearchPathA(nullptr, qsc->lpBinaryPathName, ".exe", MAX_PATH, found, nullptr);
            }
            HKEY sub = nullptr;
            if (RegOpenKeyExA(key, entries[i].lpServiceName, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
                FILETIME time;
                RegQueryInfoKeyA(sub, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, &time);
                RegCloseKey(sub);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    UniqueServiceHandle manager(
        OpenSCManagerA(nullptr, SERVICES_ACTIVE_DATABASEA, SC_MANAGER_ALL_ACCESS));
    HKEY opened = nullptr;
    if (!manager ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, servicesPath, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot open the service manager or the services key\n");
        return 1;
    }
    Plinth::UniqueKey key(opened);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string name =
            "kvbench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i);
        std::string command = "\"" + std::string(self) + "\" " + std::to_string(i);
        UniqueServiceHandle created(
            CreateServiceA(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                           command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
        if (created) {
            names.push_back(name);
        }
    }

    double ours = nanosecondsOf(ourRead, manager.get(), key.get(), 3);
    double baseline = nanosecondsOf(bareLoop, manager.get(), key.get(), 3);
    std::printf("figure service-read ours %.0f baseline %.0f\n", ours, baseline);
    std::printf("figure service-read: %.1f us per service over %zu created services\n",
                ours / 1000.0 / static_cast<double>(names.size() ? names.size() : 1), names.size());

    for (const std::string& name : names) {
        UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), DELETE));
        DeleteService(service.get());
    }
    return 0;
}
