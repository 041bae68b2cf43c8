// The registry watcher on the services key that start-up opens, posting to a
// hidden window whose messages stay queued for the test to read; a service renamed by another
// program reaching the list is the main window's test.
#include "inventory/win/RegistryWatcher.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "shell/win/ServiceDatabaseKey.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class RegistryWatcherTest : public ServiceFixture {
protected:
    void SetUp() override { ASSERT_TRUE(openServiceDatabaseKey()); }
    void TearDown() override {
        closeServiceDatabaseKey();
        DestroyWindow(window);
    }
    bool refreshAsked() {
        MSG message;
        return PeekMessageA(&message, window, WM_APP, WM_APP, PM_REMOVE);
    }

    HWND window =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
};

} // namespace

TEST_F(RegistryWatcherTest, AnotherProcessChangingAValueBelowAServiceIsSeen) {
    const std::string name = services.create();
    // Made before its window, as a dialog's members are.
    RegistryWatcher watcher(serviceDatabaseKey(), nullptr);
    watcher.setWindow(window);
    ASSERT_EQ(runProcess("reg.exe add \"HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name +
                         "\\Parameters\" /v Probe /t REG_SZ /d 1 /f"),
              0);
    EXPECT_TRUE(waitUntil([&] { return refreshAsked(); }, 60000)) << "the subtree is watched";
}

// A stop that ends the watcher is every main window test's closing.
TEST_F(RegistryWatcherTest, AKeyThatCannotBeWatchedEndsTheWatcherQuietly) {
    Plinth::UniqueKey closed;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, closed.put()),
              ERROR_SUCCESS);
    HKEY stale = closed.get();
    closed.reset();
    RegistryWatcher watcher(stale, window);
    ASSERT_EQ(WaitForSingleObject(watcher.handle(), 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(watcher.handle(), &code));
    EXPECT_EQ(code, static_cast<DWORD>(-1));
    EXPECT_FALSE(refreshAsked());
}
