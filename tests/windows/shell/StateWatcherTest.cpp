// The state watcher on the real main window: services started, stopped or
// ended by another program show their state without a read, through Wine's
// notifications, and through polling where there are none.
#include "shell/win/MainWindow.h"
#include "bench/windows/BenchServices.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "shell/win/ServiceDatabaseKey.h"

#include <commctrl.h>

#include <atomic>
#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Another program's command, as an administrator would type it. Wine now
// and then fails to start a process (-1): that one is started again.
void sc(const std::string& verb, const std::string& name) {
    std::string output;
    int code = -1;
    for (int attempt = 0; attempt < 3 && code == -1; ++attempt) {
        code = runProcess("sc.exe " + verb + " " + name, &output);
    }
    EXPECT_EQ(code, 0) << output;
}

// Plays the manager for one service as Windows's does where Wine's cannot:
// it arms nothing in Wine's manager for it, and delivers what the test says
// to the registration the watcher made. Every other service gets Wine's
// notifications.
struct ScriptedManager {
    StatusNotifier notifier() {
        return [this](SC_HANDLE service, const std::string& of, DWORD mask,
                      SERVICE_NOTIFYW* record) -> DWORD {
            if (of != name) {
                return NotifyServiceStatusChangeW(service, mask, record);
            }
            if (!thread) {
                thread.reset(OpenThread(THREAD_SET_CONTEXT, FALSE, GetCurrentThreadId()));
            }
            armed = record;
            return ERROR_SUCCESS;
        };
    }
    // As the manager calls back: the record filled, the call queued to the
    // thread that registered.
    void deliver(DWORD notificationStatus, DWORD state, DWORD processId, DWORD exitCode = 0) {
        SERVICE_NOTIFYW* record = armed.exchange(nullptr);
        ASSERT_TRUE(record);
        record->dwNotificationStatus = notificationStatus;
        record->ServiceStatus = {SERVICE_WIN32_OWN_PROCESS, state, 0, exitCode, 0, 0, 0, processId};
        record->dwNotificationTriggered = state ? 1u << (state - 1) : 0;
        QueueUserAPC(
            [](ULONG_PTR parameter) {
                auto* record = reinterpret_cast<SERVICE_NOTIFYW*>(parameter);
                record->pfnNotifyCallback(record);
            },
            thread.get(), reinterpret_cast<ULONG_PTR>(record));
    }

    std::string name;
    Plinth::UniqueHandleObject thread;
    std::atomic<SERVICE_NOTIFYW*> armed{nullptr};
};

class StateWatcherTest : public ServiceFixture {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(prepareMainWindowThread()); }
    static void TearDownTestSuite() { closeServiceDatabaseKey(); }

    // The window reads through this opener, so every read is counted.
    void open(StatusNotifier notifier = nullptr, const std::string& host = {}) {
        config.noPersist = true;
        config.noUpdate = true;
        config.computerName = host;
        window = std::make_unique<MainWindow>(
            config, [this](ScmConnection& connection, const std::string& name, DWORD rights) {
                ++managerOpens;
                connection.openManager(name, rights);
            });
        window->setStatusNotifier(std::move(notifier));
        window->create(nullptr);
        pump();
    }
    void TearDown() override { closeMainWindow(window); }

    // The status and PID the list shows for a service.
    std::string shown(const std::string& name) {
        ServiceListView& list = window->list();
        for (int i = 0; i < list.count(); ++i) {
            if (list.textAt(i, 0) == name) {
                return list.textAt(i, listStatusColumn) + " " + list.textAt(i, listPidColumn);
            }
        }
        return "absent";
    }
    static std::string running(const std::string& name) {
        return "started " + std::to_string(queryStatus(name).dwProcessId);
    }
    StateWatcher::Counts counts() { return window->stateWatcher().counts(); }

    AppConfig config;
    std::unique_ptr<MainWindow> window;
    int managerOpens = 0;
};

// Wine's manager notifies; with notifications refused the watcher polls.
class StateWatcherPathTest : public StateWatcherTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StateWatcherPathTest, AServiceStartedAndStoppedByAnotherProgramShowsItWithoutARead) {
    const bool refused = GetParam();
    const std::string name = services.create();
    StatusNotifier refuse = [](SC_HANDLE, const std::string&, DWORD, SERVICE_NOTIFYW*) -> DWORD {
        return ERROR_ACCESS_DENIED;
    };
    open(refused ? refuse : nullptr);
    ASSERT_TRUE(
        pumpUntil([&] { return (refused ? counts().polled : counts().registrations) > 0; }));
    EXPECT_EQ(refused ? counts().registrations : counts().polled, 0u);
    ASSERT_EQ(shown(name), "- ");
    const int reads = managerOpens;
    sc("start", name);
    EXPECT_TRUE(pumpUntil([&] { return shown(name) == running(name); })) << shown(name);
    sc("stop", name);
    EXPECT_TRUE(pumpUntil([&] { return shown(name) == "- "; })) << shown(name);
    EXPECT_EQ(managerOpens, reads) << "no read in between";
}

INSTANTIATE_TEST_SUITE_P(Paths, StateWatcherPathTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Polled" : "Notified"; });

// Wine's manager never learns that a service's process died: it goes on
// reporting it running with the dead process id. The script plays what
// Windows's manager reports instead: running, then stopped with the exit
// code of an aborted process.
TEST_F(StateWatcherTest, AServiceWhoseProcessCrashesShowsItsStoppedState) {
    const std::string name = services.create();
    ScriptedManager manager{name};
    open(manager.notifier());
    ASSERT_TRUE(pumpUntil([&] { return manager.armed != nullptr; }));
    manager.deliver(ERROR_SUCCESS, SERVICE_RUNNING, 4242);
    ASSERT_TRUE(pumpUntil([&] { return shown(name) == "started 4242"; }));
    ASSERT_TRUE(pumpUntil([&] { return manager.armed != nullptr; }));
    manager.deliver(ERROR_SUCCESS, SERVICE_STOPPED, 0, ERROR_PROCESS_ABORTED);
    EXPECT_TRUE(pumpUntil([&] { return shown(name) == "- "; }));

    // Its deletion ends the registration without a word and without polling.
    ASSERT_TRUE(pumpUntil([&] { return manager.armed != nullptr; }));
    const unsigned registered = counts().registrations;
    manager.deliver(ERROR_SERVICE_MARKED_FOR_DELETE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return counts().registrations == registered - 1; }));
    EXPECT_EQ(counts().polled, 0u);
    EXPECT_EQ(shown(name), "- ");
}

TEST_F(StateWatcherTest, ClosingTheWindowWithThreeHundredRegistrationsEndsTheWatcher) {
    Plinth::UniqueServiceHandle manager(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE | SC_MANAGER_CONNECT));
    bench::BenchServices many(manager.get(), 300);
    ASSERT_EQ(many.size(), 300u);
    open();
    ASSERT_TRUE(pumpUntil([&] { return counts().registrations >= 300; }, 60000))
        << counts().registrations;
    Plinth::UniqueHandleObject watcher;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), window->stateWatcher().handle(),
                                GetCurrentProcess(), watcher.put(), SYNCHRONIZE, FALSE, 0));
    SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
    window.reset();
    // Its handles closed, or, on a manager slower than the window's bound,
    // still closing on a thread that frees itself.
    EXPECT_EQ(WaitForSingleObject(watcher.get(), 60000), WAIT_OBJECT_0);
}

// Another computer is polled; Wine's manager answers for any computer name.
TEST_F(StateWatcherTest, AMinimisedWindowPollsNothing) {
    const std::string name = services.create();
    open(nullptr, "kvtest-elsewhere");
    ASSERT_TRUE(pumpUntil([&] { return counts().polls > 0; }));
    EXPECT_EQ(counts().registrations, 0u);
    ShowWindow(window->handle(), SW_MINIMIZE);
    pumpUntil([] { return false; }, 300);
    const unsigned polls = counts().polls;
    sc("start", name);
    pumpUntil([] { return false; }, 2 * StateWatcher::pollIntervalMs + 500);
    EXPECT_EQ(counts().polls, polls);
    EXPECT_EQ(shown(name), "- ");
    ShowWindow(window->handle(), SW_RESTORE);
    EXPECT_TRUE(pumpUntil([&] { return shown(name) == running(name); }));
}

} // namespace
