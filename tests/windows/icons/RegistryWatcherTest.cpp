// The registry watcher on the services key that start-up opens, with a
// hidden window that refreshes on each of its messages as the main window
// does, while other processes change services.
#include "inventory/win/RegistryWatcher.h"
#include "tests/windows/icons/HostWindow.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"
#include "inventory/win/ServiceReader.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <atomic>
#include <thread>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class RegistryWatcherTest : public ServiceFixture {
protected:
    void SetUp() override {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        ASSERT_TRUE(openServiceDatabaseKey());
        window.onRefresh = [this] { refresh(); };
    }
    void TearDown() override { closeServiceDatabaseKey(); }

    // The window's answer to WM_APP: messages already queued are covered by
    // this refresh, and one asked for while it runs (its waits dispatch)
    // is run after it instead of inside it.
    void refresh() {
        MSG queued;
        while (PeekMessageA(&queued, window.handle(), WM_APP, WM_APP, PM_REMOVE)) {
            ++window.refreshMessages;
        }
        if (refreshing) {
            again = true;
            return;
        }
        refreshing = true;
        do {
            again = false;
            reader.setHost("");
            reader.startRead();
            NullEntrySink sink;
            runRefreshCycle(reader.state(), tables, true, entries, sink,
                            [&] { return waitForReaderStep(reader); });
            ++refreshes;
        } while (again);
        refreshing = false;
    }
    std::string displayNameOf(const std::string& name) {
        const ServiceEntry* entry = entries.find(entries.numberOf(SharedText(name)));
        return entry ? entry->displayName.str() : "<none>";
    }
    static std::string changeCommand(const std::string& service, const std::string& name,
                                     int count = 0) {
        return "\"" + programPath("kelvane-service-change.exe") + "\" " + service + " " + name +
               (count ? " " + std::to_string(count) : "");
    }

    HostWindow window;
    ServiceReader reader{nullptr};
    ServiceEntries entries;
    ShownTables tables;
    bool refreshing = false, again = false;
    int refreshes = 0;
};

} // namespace

TEST_F(RegistryWatcherTest, AnotherProcessChangingAServiceRefreshesTheListByItself) {
    std::string name = services.create();
    refresh();
    ASSERT_EQ(displayNameOf(name), name);
    // Made before its window, as a dialog's members are.
    RegistryWatcher watcher(serviceDatabaseKey(), nullptr);
    watcher.setWindow(window.handle());

    ASSERT_EQ(runProcess(changeCommand(name, "renamed-elsewhere")), 0);
    EXPECT_TRUE(HostWindow::pumpUntil([&] { return displayNameOf(name) == "renamed-elsewhere"; }));
    EXPECT_GE(window.refreshMessages, 1);

    // A value below a service's own key counts too: the subtree is watched.
    int before = window.refreshMessages;
    std::string key = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name + "\\Parameters";
    ASSERT_EQ(runProcess("reg.exe add \"" + key + "\" /v Probe /t REG_SZ /d 1 /f"), 0);
    EXPECT_TRUE(HostWindow::pumpUntil([&] { return window.refreshMessages > before; }));
}

TEST_F(RegistryWatcherTest, ABurstOf200ChangesLeavesTheWindowResponsiveAndTheListRight) {
    std::string name = services.create();
    std::string bystander = services.create();
    refresh();
    RegistryWatcher watcher(serviceDatabaseKey(), window.handle());

    std::atomic<bool> burstDone{false};
    std::atomic<int> unanswered{0}, answered{0};
    int exitCode = -1;
    std::thread burst([&] {
        exitCode = runProcess(changeCommand(name, "burst", 200));
        burstDone = true;
    });
    // Another thread keeps knocking at the window while the burst goes on;
    // a window busy with a backlog of refreshes would not answer.
    std::thread knocker([&] {
        while (!burstDone) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window.handle(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) {
                ++answered;
            } else {
                ++unanswered;
            }
            Sleep(20);
        }
    });
    bool settled = HostWindow::pumpUntil(
        [&] { return burstDone && displayNameOf(name) == "burst-199"; }, 300000);
    knocker.join();
    burst.join();
    EXPECT_TRUE(settled) << "last seen: " << displayNameOf(name);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(unanswered, 0);
    EXPECT_GT(answered, 0);
    EXPECT_GE(window.refreshMessages, 1);
    EXPECT_LE(refreshes, 1 + window.refreshMessages);
    EXPECT_EQ(displayNameOf(bystander), bystander);
    // Nothing else was left pending: the list equals a fresh read.
    refresh();
    EXPECT_EQ(displayNameOf(name), "burst-199");
    RecordProperty("burstRefreshes", refreshes);
    RecordProperty("burstMessages", window.refreshMessages);
}

TEST_F(RegistryWatcherTest, StoppingEndsTheWatcherThoughNothingEverChanged) {
    RegistryWatcher watcher(serviceDatabaseKey(), window.handle());
    EXPECT_EQ(watcher.stop(Plinth::WorkerThread::JoinBlocking, 60000),
              static_cast<int>(WAIT_OBJECT_0));
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeThread(watcher.handle(), &code));
    EXPECT_EQ(code, 0u);
    HostWindow::pump();
    EXPECT_EQ(window.refreshMessages, 0);

    // And the destructor alone does the same.
    { RegistryWatcher untouched(serviceDatabaseKey(), window.handle()); }
}

TEST_F(RegistryWatcherTest, AKeyThatCannotBeWatchedEndsTheThreadQuietly) {
    Plinth::UniqueKey closed;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, closed.put()),
              ERROR_SUCCESS);
    HKEY stale = closed.get();
    closed.reset();
    RegistryWatcher watcher(stale, window.handle());
    ASSERT_EQ(WaitForSingleObject(watcher.handle(), 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(watcher.handle(), &code));
    EXPECT_EQ(code, static_cast<DWORD>(-1));
    HostWindow::pump();
    EXPECT_EQ(window.refreshMessages, 0);
}
