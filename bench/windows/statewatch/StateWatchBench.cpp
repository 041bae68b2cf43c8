// What following service states costs, with many services shown:
// - "watch-notified", "watch-polled": the CPU time of this process and of
//   the service manager over a minute in which nothing changes, beyond what
//   the same window costs minimised and following nothing, with
//   notifications and with notifications refused (polling every two
//   seconds), against the same CPU time of one full read;
// - "state-change-calls", "state-change-items": the service manager and
//   registry calls made and the list items touched while one service
//   started by another program is shown, against a full refresh (F5).
// Arguments: the number of services (750) and the seconds watched (60).
#include "bench/windows/BenchServices.h"
#include "bench/windows/statewatch/PlatformCallCount.h"
#include "resources/ResourceIds.h"
#include "shell/win/MainWindow.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

using namespace kelvane;

namespace {

double seconds(const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           1e7;
}

double cpuSeconds(HANDLE process) {
    FILETIME created{}, ended{}, kernel{}, user{};
    return process && GetProcessTimes(process, &created, &ended, &kernel, &user)
               ? seconds(kernel) + seconds(user)
               : 0;
}

// This program and the service manager, which does the manager's share of
// every enumeration and notification.
class CpuClock {
public:
    CpuClock() {
        Plinth::UniqueHandleObject snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{sizeof entry};
        for (bool more = Process32First(snapshot.get(), &entry); more;
             more = Process32Next(snapshot.get(), &entry)) {
            if (lstrcmpiA(entry.szExeFile, "services.exe") == 0) {
                manager_.reset(
                    OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
            }
        }
    }
    double now() const { return cpuSeconds(GetCurrentProcess()) + managerNow(); }
    double managerNow() const { return cpuSeconds(manager_.get()); }

private:
    Plinth::UniqueHandleObject manager_;
};

void pumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - (GetTickCount() - start), QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

template <typename Done> bool pumpUntil(Done done, DWORD boundMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > boundMs) {
            return false;
        }
        pumpFor(50);
    }
    return true;
}

// Items the list control is given, changed or loses, counted at the control;
// an item changed twice (start pending, then running) counts once.
long itemsAddedOrRemoved = 0;
std::set<WPARAM> itemsChanged;
long itemsTouched() {
    return itemsAddedOrRemoved + static_cast<long>(itemsChanged.size());
}
void forgetItemsTouched() {
    itemsAddedOrRemoved = 0;
    itemsChanged.clear();
}
WNDPROC listProcedure = nullptr;
LRESULT CALLBACK countingList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case LVM_INSERTITEMA:
    case LVM_DELETEITEM:
        ++itemsAddedOrRemoved;
        break;
    case LVM_SETITEMA:
        itemsChanged.insert(static_cast<WPARAM>(reinterpret_cast<const LVITEMA*>(lParam)->iItem));
        break;
    case LVM_UPDATE:
        itemsChanged.insert(wParam);
        break;
    case LVM_DELETEALLITEMS:
        itemsAddedOrRemoved += CallWindowProcA(listProcedure, list, LVM_GETITEMCOUNT, 0, 0);
        break;
    default:
        break;
    }
    return CallWindowProcA(listProcedure, list, message, wParam, lParam);
}

bool runCommand(const std::string& line) {
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::string text = line;
    if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::string shownStatus(MainWindow& window, const std::string& name) {
    ServiceListView& list = window.list();
    for (int i = 0; i < list.count(); ++i) {
        if (list.textAt(i, 0) == name) {
            return list.textAt(i, listStatusColumn);
        }
    }
    return {};
}

// A window showing every service, settled: its watcher follows them all and
// the reports of their first states are shown.
std::unique_ptr<MainWindow> settledWindow(AppConfig& config, StatusNotifier notifier,
                                          std::size_t services) {
    auto window = std::make_unique<MainWindow>(config);
    window->setStatusNotifier(std::move(notifier));
    window->create(nullptr);
    pumpUntil(
        [&] {
            StateWatcher::Counts counts = window->stateWatcher().counts();
            return counts.registrations + counts.polled >= services &&
                   counts.notifications >= counts.registrations;
        },
        120000);
    pumpFor(2 * StateWatcher::pollIntervalMs + 1000);
    return window;
}

double threadCpuSeconds(HANDLE thread) {
    FILETIME created{}, ended{}, kernel{}, user{};
    return GetThreadTimes(thread, &created, &ended, &kernel, &user)
               ? seconds(kernel) + seconds(user)
               : 0;
}

// The CPU time a window's watching costs over ms beyond what the same
// window costs minimised and following nothing (idle), and the watcher
// thread's and the manager's shares (of the whole, idle included).
struct Watched {
    double cpu = 0;
    double thread = 0;
    double manager = 0;
};
Watched watch(const CpuClock& clock, MainWindow& window, DWORD ms, double idle) {
    const HANDLE thread = window.stateWatcher().handle();
    const double start = clock.now(), threadStart = threadCpuSeconds(thread),
                 managerStart = clock.managerNow();
    pumpFor(ms);
    return {std::max(0.0, clock.now() - start - idle), threadCpuSeconds(thread) - threadStart,
            clock.managerNow() - managerStart};
}

void printWatched(const char* figure, const Watched& watched, double read, MainWindow& window,
                  std::size_t shown, DWORD ms) {
    const StateWatcher::Counts counts = window.stateWatcher().counts();
    std::printf("figure %s ours %.0f baseline %.0f\n", figure, watched.cpu * 1e9, read * 1e9);
    std::printf("figure %s: %zu services, %u notified, %u polled; %.3f s CPU over %lu s beyond "
                "the idle window; %.3f s on the watcher thread, %.3f s in the manager; one read "
                "%.3f s\n",
                figure, shown, counts.registrations, counts.polled, watched.cpu, ms / 1000,
                watched.thread, watched.manager, read);
}

StatusNotifier refusingNotifier() {
    return [](SC_HANDLE, const std::string&, DWORD, SERVICE_NOTIFYW*) -> DWORD {
        return ERROR_ACCESS_DENIED;
    };
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 750;
    const DWORD watchMs = (argc > 2 ? std::atoi(argv[2]) : 60) * 1000;
    bench::countPlatformCalls();
    Plinth::UniqueServiceHandle manager = bench::prepareWindowBench();
    if (!manager) {
        return 1;
    }
    bench::BenchServices services(manager.get(), count - 1);
    // The one that changes: the test service beside this program.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.resize(folder.find_last_of('\\') + 1);
    const std::string live = "kvbench-" + std::to_string(GetCurrentProcessId()) + "-live";
    const std::string command = "\"" + folder + "kelvane-test-service.exe\"";
    Plinth::UniqueServiceHandle liveService(
        CreateServiceA(manager.get(), live.c_str(), live.c_str(), SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                       command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    const std::size_t shown = services.size() + (liveService ? 1 : 0);
    const CpuClock clock;

    double read = 1e300;
    for (int round = 0; round < 3; ++round) {
        ServiceReader reader(serviceDatabaseKey());
        reader.setHost("");
        const double start = clock.now();
        reader.startRead();
        WaitForSingleObject(reader.doneEvent(), INFINITE);
        read = std::min(read, clock.now() - start);
    }

    AppConfig config;
    config.noPersist = true;
    config.noUpdate = true;
    double idle = 0;
    {
        // Minimised and refused everything: it watches nothing at all.
        auto window = settledWindow(config, refusingNotifier(), shown);
        ShowWindow(window->handle(), SW_MINIMIZE);
        pumpFor(1000);
        const double start = clock.now();
        pumpFor(watchMs);
        idle = clock.now() - start;
        std::printf("figure idle-window: %.3f s CPU over %lu s\n", idle, watchMs / 1000);
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
    }
    {
        auto window = settledWindow(config, nullptr, shown);
        printWatched("watch-notified", watch(clock, *window, watchMs, idle), read, *window, shown,
                     watchMs);

        HWND list = window->list().handle();
        listProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countingList)));
        const bench::PlatformCalls before = bench::platformCalls();
        forgetItemsTouched();
        runCommand("sc.exe start " + live);
        const bool seen = pumpUntil([&] { return shownStatus(*window, live) == "started"; }, 30000);
        const bench::PlatformCalls change = bench::platformCalls();
        const long changeItems = itemsTouched();
        forgetItemsTouched();

        SendMessageA(window->handle(), WM_COMMAND, IDC_REFRESH, 0);
        pumpFor(3000); // the icon pass and its rebuild
        const bench::PlatformCalls refreshed = bench::platformCalls();
        const long refreshItems = itemsTouched();
        std::printf("figure state-change-calls ours %ld baseline %ld\n", change.all - before.all,
                    refreshed.all - change.all);
        std::printf("figure state-change-items ours %ld baseline %ld\n", changeItems, refreshItems);
        std::printf("figure state-change: %s; configuration queries %ld against %ld\n",
                    seen ? "shown" : "NOT SHOWN", change.configuration - before.configuration,
                    refreshed.configuration - change.configuration);
        runCommand("sc.exe stop " + live);
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure));
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
    }
    {
        auto window = settledWindow(config, refusingNotifier(), shown);
        printWatched("watch-polled", watch(clock, *window, watchMs, idle), read, *window, shown,
                     watchMs);
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
    }
    if (liveService) {
        DeleteService(liveService.get());
    }
    closeServiceDatabaseKey();
    return 0;
}
