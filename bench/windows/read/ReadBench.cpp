// A full read of many services against the bare loop of platform calls a
// read cannot do without: enumerate, open and query each configuration,
// open the service's registry key for its time, search the image file.
// Prints "figure service-read ours <ns> baseline <ns>".
#include "bench/windows/BenchServices.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/win/ImagePathSearch.h"
#include "inventory/win/ServiceRead.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kelvane;
using Plinth::UniqueServiceHandle;

namespace {

constexpr const char* servicesPath = "SYSTEM\\CurrentControlSet\\Services";

void ourRead(SC_HANDLE manager, HKEY key) {
    static const std::string windowsDir = lowerCaseWindowsDirectory();
    ReaderState shared;
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

    bench::BenchServices names(manager.get(), count);

    double ours = bench::bestNanoseconds(3, [&] { ourRead(manager.get(), key.get()); });
    double baseline = bench::bestNanoseconds(3, [&] { bareLoop(manager.get(), key.get()); });
    std::printf("figure service-read ours %.0f baseline %.0f\n", ours, baseline);
    std::printf("figure service-read: %.1f us per service over %zu created services\n",
                ours / 1000.0 / static_cast<double>(names.size() ? names.size() : 1), names.size());

    return 0;
}
