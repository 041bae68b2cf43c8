// The registry watcher on the services key that start-up opens, posting to a
// hidden window while other processes change services.
#include "inventory/win/RegistryWatcher.h"
#include "tests/windows/icons/HostWindow.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "shell/win/ServiceDatabaseKey.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class RegistryWatcherTest : public ServiceFixture {
protected:
    void SetUp() override { ASSERT_TRUE(openServiceDatabaseKey()); }
    void TearDown() override { closeServiceDatabaseKey(); }

    // Runs another process that changes the registry and waits for the
    // watcher's message.
    bool changeIsSeen(const std::string& command) {
        const int before = window.refreshMessages;
        return runProcess(command) == 0 &&
               pumpUntil([&] { return window.refreshMessages > before; }, 60000);
    }

    HostWindow window;
};

} // namespace

TEST_F(RegistryWatcherTest, AnotherProcessChangingAServiceOrAValueBelowItIsSeen) {
    const std::string name = services.create();
    // Made before its window, as a dialog's members are.
    RegistryWatcher watcher(serviceDatabaseKey(), nullptr);
    watcher.setWindow(window.handle());
    EXPECT_TRUE(changeIsSeen("\"" + programPath("kelvane-service-change.exe") + "\" " + name +
                             " renamed-elsewhere"));
    EXPECT_TRUE(changeIsSeen("reg.exe add \"HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name +
                             "\\Parameters\" /v Probe /t REG_SZ /d 1 /f"))
        << "the subtree is watched";
}

TEST_F(RegistryWatcherTest, StoppingEndsTheWatcherAndAKeyThatCannotBeWatchedEndsItQuietly) {
    {
        RegistryWatcher watcher(serviceDatabaseKey(), window.handle());
        EXPECT_EQ(watcher.stop(Plinth::WorkerThread::JoinBlocking, 60000),
                  static_cast<int>(WAIT_OBJECT_0));
        DWORD code = 1;
        EXPECT_TRUE(GetExitCodeThread(watcher.handle(), &code));
        EXPECT_EQ(code, 0u);
        RegistryWatcher untouched(serviceDatabaseKey(), window.handle()); // ended by its destructor
    }
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
    pump();
    EXPECT_EQ(window.refreshMessages, 0);
}
