// A full read of many services against the bare loop of platform calls a
// read cannot do without: enumerate, open and query each configuration and
// its further levels (description, delayed start, triggers, failure
// actions), open the service's registry key for its time, search the image
// file. Prints "figure service-read ours <ns> baseline <ns>", and what the
// further queries add per service: to our read ("service-read-later-
// columns", the read with them against the read that skips them) and to
// the bare loop.
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

// The system's configuration, but every further level refused at once,
// without a platform call: the read as it was before the columns after the
// seventeen.
class NoFurtherQueries : public ServiceConfigSource {
public:
    DWORD queryConfig(SC_HANDLE service, QUERY_SERVICE_CONFIGA* buffer, DWORD size,
                      DWORD& needed) override {
        return configSourceOr(nullptr).queryConfig(service, buffer, size, needed);
    }
    DWORD queryConfig2(SC_HANDLE, DWORD, BYTE*, DWORD, DWORD&) override {
        return ERROR_INVALID_LEVEL;
    }
};

void ourRead(SC_HANDLE manager, HKEY key, ServiceConfigSource* source) {
    static const std::string windowsDir = lowerCaseWindowsDirectory();
    ReaderState shared;
    ReadContext context;
    context.manager = manager;
    context.servicesKey = key;
    context.texts = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    context.resolveImagePath = [](const std::string& command) {
        return resolveImagePath(command, true, windowsDir);
    };
    context.resolveIndirectText = resolveIndirectText;
    context.configSource = source;
    readAllServices(context, shared);
}

void bareLoop(SC_HANDLE manager, HKEY key, bool furtherQueries) {
    std::vector<BYTE> buffer(1 << 20), config(8192), extra(8192);
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
                if (furtherQueries) {
                    std::vector<DWORD> levels = {SERVICE_CONFIG_DESCRIPTION, 8 /* triggers */,
                                                 SERVICE_CONFIG_FAILURE_ACTIONS};
                    if (qsc->dwStartType == SERVICE_AUTO_START) {
                        levels.push_back(SERVICE_CONFIG_DELAYED_AUTO_START_INFO);
                    }
                    for (DWORD level : levels) {
                        QueryServiceConfig2A(service.get(), level, extra.data(),
                                             static_cast<DWORD>(extra.size()), &needed);
                    }
                }
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

    NoFurtherQueries before;
    const std::vector<double> best =
        bench::bestNanosecondsTakingTurns(5, {[&] { ourRead(manager.get(), key.get(), nullptr); },
                                              [&] { ourRead(manager.get(), key.get(), &before); },
                                              [&] { bareLoop(manager.get(), key.get(), true); },
                                              [&] { bareLoop(manager.get(), key.get(), false); }});
    const double ours = best[0], oursBefore = best[1], baseline = best[2], baselineBefore = best[3];
    std::printf("figure service-read ours %.0f baseline %.0f\n", ours, baseline);
    std::printf("figure service-read-later-columns ours %.0f baseline %.0f\n", ours, oursBefore);
    const double perService = 1000.0 * static_cast<double>(names.size() ? names.size() : 1);
    std::printf("figure service-read: %.1f us per service over %zu created services; the further "
                "queries add %.1f us to our read (%.1f without them) and %.1f us to the bare "
                "loop (%.1f without them)\n",
                ours / perService, names.size(), (ours - oursBefore) / perService,
                oursBefore / perService, (baseline - baselineBefore) / perService,
                baselineBefore / perService);
    return 0;
}
