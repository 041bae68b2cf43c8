// The main window against the reader alone, with many services: opening the
// window until its list shows every entry (construction and first refresh)
// against one read of the reader thread, and a rebuild of the list through
// the filter against the same read.
// Prints "figure window-fill ..." and "figure list-rebuild ..." lines.
#include "bench/windows/BenchServices.h"
#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"
#include "shell/win/MainWindow.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <cstdlib>

using namespace kelvane;

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    Plinth::UniqueServiceHandle manager = bench::prepareWindowBench();
    if (!manager) {
        return 1;
    }
    bench::BenchServices services(manager.get(), count);

    double read = bench::bestNanoseconds(3, [] {
        ServiceReader reader(serviceDatabaseKey());
        reader.setHost("");
        reader.startRead();
        WaitForSingleObject(reader.doneEvent(), INFINITE);
    });

    // The refresh cycle with entries but no list: what the window adds
    // beyond it is the list's share.
    NullEntrySink noList;
    double cycle = bench::bestNanoseconds(3, [&] {
        ServiceReader reader(serviceDatabaseKey());
        ShownTables tables;
        ServiceEntries entries;
        reader.setHost("");
        reader.startRead();
        runRefreshCycle(reader.state(), tables, true, entries, noList,
                        [&] { return waitForReaderStep(reader); });
    });

    double closing = 0;
    AppConfig config;
    config.noPersist = true;
    config.noUpdate = true;
    // Opening runs the first refresh; closing is not part of the figure.
    int shown = 0;
    double fill = 1e300;
    for (int round = 0; round < 3; ++round) {
        auto opened = std::make_unique<MainWindow>(config);
        fill = std::min(fill, bench::bestNanoseconds(1, [&] { opened->create(nullptr); }));
        shown = opened->list().count();
        auto start = std::chrono::steady_clock::now();
        opened.reset();
        closing =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }

    MainWindow window(config);
    window.create(nullptr);
    double rebuild = bench::bestNanoseconds(5, [&] { window.rebuildList(false); });

    std::printf("figure window-fill ours %.0f baseline %.0f\n", fill, read);
    std::printf("figure refresh-cycle ours %.0f baseline %.0f\n", cycle, read);
    std::printf("figure list-rebuild ours %.0f baseline %.0f\n", rebuild, read);
    std::printf("figure window-fill: %d items shown, %zu services created; rebuild %.1f ms; "
                "closing the window %.0f ms\n",
                shown, services.size(), rebuild / 1e6, closing);
    closeServiceDatabaseKey();
    return 0;
}
