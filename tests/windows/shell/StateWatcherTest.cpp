// The state watcher on the real main window: services started, stopped or
// ended by another program show their state without a read, through Wine's
// notifications, and through polling where there are none.
#include "shell/win/MainWindow.h"
#include "bench/windows/BenchServices.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "resources/ResourceIds.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <commctrl.h>

#include <mutex>
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
class ScriptedManager {
public:
    explicit ScriptedManager(std::string name) : name_(std::move(name)) {}
    ~ScriptedManager() {
        if (thread_) {
            CloseHandle(thread_);
        }
    }

    StatusNotifier notifier() {
        return [this](SC_HANDLE service, const std::string& name, DWORD mask,
                      SERVICE_NOTIFYW* record) -> DWORD {
            if (name != name_) {
                return NotifyServiceStatusChangeW(service, mask, record);
            }
            std::lock_guard<std::mutex> guard(mutex_);
            if (!thread_) {
                DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(),
                                &thread_, 0, FALSE, DUPLICATE_SAME_ACCESS);
            }
            armed_ = record;
            return ERROR_SUCCESS;
        };
    }
    bool armed() {
        std::lock_guard<std::mutex> guard(mutex_);
        return armed_ != nullptr;
    }
    // As the manager calls back: the record filled, the call queued to the
    // thread that registered.
    void deliver(DWORD notificationStatus, DWORD state, DWORD processId, DWORD exitCode = 0) {
        std::lock_guard<std::mutex> guard(mutex_);
        ASSERT_TRUE(armed_);
        SERVICE_NOTIFYW* record = std::exchange(armed_, nullptr);
        record->dwNotificationStatus = notificationStatus;
        record->ServiceStatus = {};
        record->ServiceStatus.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        record->ServiceStatus.dwCurrentState = state;
        record->ServiceStatus.dwWin32ExitCode = exitCode;
        record->ServiceStatus.dwProcessId = processId;
        record->dwNotificationTriggered = state ? 1u << (state - 1) : 0;
        QueueUserAPC(&callBack, thread_, reinterpret_cast<ULONG_PTR>(record));
    }

private:
    static void CALLBACK callBack(ULONG_PTR parameter) {
        auto* record = reinterpret_cast<SERVICE_NOTIFYW*>(parameter);
        record->pfnNotifyCallback(record);
    }

    std::string name_;
    std::mutex mutex_;
    HANDLE thread_ = nullptr;
    SERVICE_NOTIFYW* armed_ = nullptr;
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

    // The list's texts of a service in a column; "absent" when it has no item.
    std::string shownIn(const std::string& name, int column) {
        ServiceListView& list = window->list();
        for (int i = 0; i < list.count(); ++i) {
            if (list.textAt(i, 0) == name) {
                return list.textAt(i, column);
            }
        }
        return column == listStatusColumn ? "absent" : "";
    }
    // The status and PID the list shows.
    std::pair<std::string, std::string> shown(const std::string& name) {
        return {shownIn(name, listStatusColumn), shownIn(name, listPidColumn)};
    }
    bool shows(const std::string& name, const std::string& status, const std::string& pid) {
        return shown(name) == std::make_pair(status, pid);
    }
    static std::string pidOf(const std::string& name) {
        return std::to_string(queryStatus(name).dwProcessId);
    }
    StateWatcher::Counts counts() { return window->stateWatcher().counts(); }

    AppConfig config;
    std::unique_ptr<MainWindow> window;
    int managerOpens = 0;
};

// Wine's manager notifies; with notifications refused the watcher polls.
struct Path {
    const char* name;
    bool refused;
};

class StateWatcherPathTest : public StateWatcherTest, public ::testing::WithParamInterface<Path> {};

TEST_P(StateWatcherPathTest, AServiceStartedAndStoppedByAnotherProgramShowsItWithoutARead) {
    const std::string name = services.create();
    StatusNotifier refuse = [](SC_HANDLE, const std::string&, DWORD, SERVICE_NOTIFYW*) -> DWORD {
        return ERROR_ACCESS_DENIED;
    };
    open(GetParam().refused ? refuse : nullptr);
    ASSERT_TRUE(pumpUntil(
        [&] { return (GetParam().refused ? counts().polled : counts().registrations) > 0; }));
    EXPECT_EQ(GetParam().refused ? counts().registrations : counts().polled, 0u);
    ASSERT_TRUE(shows(name, "-", ""));
    const int reads = managerOpens;

    sc("start", name);
    EXPECT_TRUE(pumpUntil([&] { return shows(name, "started", pidOf(name)); }))
        << shown(name).first << " " << shown(name).second;
    sc("stop", name);
    EXPECT_TRUE(pumpUntil([&] { return shows(name, "-", ""); }))
        << shown(name).first << " " << shown(name).second;
    EXPECT_EQ(managerOpens, reads) << "no read in between";
}

INSTANTIATE_TEST_SUITE_P(Paths, StateWatcherPathTest,
                         ::testing::Values(Path{"Notified", false}, Path{"Polled", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Wine's manager never learns that a service's process died: it goes on
// reporting it running with the dead process id. The script plays what
// Windows's manager reports instead: running, then stopped with the exit
// code of an aborted process.
TEST_F(StateWatcherTest, AServiceWhoseProcessCrashesShowsItsStoppedState) {
    const std::string name = services.create();
    ScriptedManager manager(name);
    open(manager.notifier());
    ASSERT_TRUE(pumpUntil([&] { return manager.armed(); }));
    manager.deliver(ERROR_SUCCESS, SERVICE_RUNNING, 4242);
    ASSERT_TRUE(pumpUntil([&] { return shows(name, "started", "4242"); }));
    EXPECT_EQ(shownIn(name, listChangesColumn), "changed")
        << "against the state the window opened with";

    // With inactive services hidden, the crashed one leaves the list.
    SendMessageA(window->item(IDC_INACTIVE), BM_CLICK, 0, 0);
    ASSERT_TRUE(shows(name, "started", "4242"));
    ASSERT_TRUE(pumpUntil([&] { return manager.armed(); }));
    manager.deliver(ERROR_SUCCESS, SERVICE_STOPPED, 0, ERROR_PROCESS_ABORTED);
    EXPECT_TRUE(pumpUntil([&] { return shows(name, "absent", ""); }));
    SendMessageA(window->item(IDC_INACTIVE), BM_CLICK, 0, 0);
    EXPECT_TRUE(shows(name, "-", ""));
    EXPECT_EQ(shownIn(name, listChangesColumn), "") << "back to the state the window opened with";

    // Its deletion ends the registration without a word and without polling.
    ASSERT_TRUE(pumpUntil([&] { return manager.armed(); }));
    const unsigned registered = counts().registrations;
    manager.deliver(ERROR_SERVICE_MARKED_FOR_DELETE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return counts().registrations == registered - 1; }));
    EXPECT_EQ(counts().polled, 0u);
    EXPECT_TRUE(shows(name, "-", ""));
}

TEST_F(StateWatcherTest, ClosingTheWindowWithThreeHundredRegistrationsEndsTheWatcher) {
    Plinth::UniqueServiceHandle manager(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE | SC_MANAGER_CONNECT));
    bench::BenchServices many(manager.get(), 300);
    ASSERT_EQ(many.size(), 300u);
    open();
    ASSERT_TRUE(pumpUntil([&] { return counts().registrations >= 300; }, 60000))
        << counts().registrations;
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), window->stateWatcher().handle(),
                                GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0));
    Plinth::UniqueHandleObject watcher(thread);

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
    ASSERT_FALSE(window->hostInfo().isLocal);
    ASSERT_TRUE(pumpUntil([&] { return counts().polls > 0; }));
    EXPECT_EQ(counts().registrations, 0u);

    ShowWindow(window->handle(), SW_MINIMIZE);
    pumpUntil([] { return false; }, 300);
    const unsigned polls = counts().polls;
    sc("start", name);
    pumpUntil([] { return false; }, 2 * StateWatcher::pollIntervalMs + 500);
    EXPECT_EQ(counts().polls, polls);
    EXPECT_TRUE(shows(name, "-", ""));

    ShowWindow(window->handle(), SW_RESTORE);
    EXPECT_TRUE(pumpUntil([&] { return shows(name, "started", pidOf(name)); }));
}

} // namespace
