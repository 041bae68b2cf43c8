#pragma once
// Shared by the Windows benchmarks: the start of a benchmark of the main
// window, many demand-start services in the real manager, made for one run
// and deleted with the object, and a best-of timer.
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace kelvane::bench {

// The resources, list view controls and COM of a window thread, the
// services key, and the manager with every right; none, with the reason
// written, when the manager or the key cannot be had.
inline Plinth::UniqueServiceHandle prepareWindowBench() {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Plinth::UniqueServiceHandle manager(
        OpenSCManagerA(nullptr, SERVICES_ACTIVE_DATABASEA, SC_MANAGER_ALL_ACCESS));
    if (!manager || !openServiceDatabaseKey()) {
        std::fprintf(stderr, "cannot open the service manager or the services key\n");
        return {};
    }
    return manager;
}

class BenchServices {
public:
    BenchServices(SC_HANDLE manager, int count) : manager_(manager) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        for (int i = 0; i < count; ++i) {
            std::string name =
                "kvbench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i);
            std::string command = "\"" + std::string(self) + "\" " + std::to_string(i);
            Plinth::UniqueServiceHandle created(CreateServiceA(
                manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr,
                nullptr, nullptr, nullptr));
            if (created) {
                names_.push_back(name);
            }
        }
    }
    ~BenchServices() {
        for (const std::string& name : names_) {
            Plinth::UniqueServiceHandle service(OpenServiceA(manager_, name.c_str(), DELETE));
            DeleteService(service.get());
        }
    }
    BenchServices(const BenchServices&) = delete;
    BenchServices& operator=(const BenchServices&) = delete;

    std::size_t size() const { return names_.size(); }

private:
    SC_HANDLE manager_;
    std::vector<std::string> names_;
};

// The fastest of rounds runs of body, in nanoseconds.
template <typename Body> double bestNanoseconds(int rounds, Body&& body) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        body();
        double ns =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count();
        best = ns < best ? ns : best;
    }
    return best;
}

// The fastest of rounds runs of each body, the bodies taking turns, so that
// a load on the machine that changes during the run weighs on all alike.
inline std::vector<double>
bestNanosecondsTakingTurns(int rounds, const std::vector<std::function<void()>>& bodies) {
    std::vector<double> best(bodies.size(), 1e300);
    for (int i = 0; i < rounds; ++i) {
        for (size_t b = 0; b < bodies.size(); ++b) {
            best[b] = std::min(best[b], bestNanoseconds(1, bodies[b]));
        }
    }
    return best;
}

} // namespace kelvane::bench
