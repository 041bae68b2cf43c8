// Tray instances of the real program, counted and closed through the tray
// broadcast message from this process; how many make minimising close the
// main window is the native tests' business.
#include "resources/ResourceIds.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/support/TrayInstances.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

DWORD exitCodeAfterEnd(const Plinth::UniqueHandleObject& process) {
    DWORD code = 259;
    if (WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.get(), &code);
    } else {
        TerminateProcess(process.get(), 1);
    }
    return code;
}

} // namespace

TEST(TrayInstancesTest, EachInstanceCountsAndEndsWithZeroOnACloseRequestOrExit) {
    ASSERT_TRUE(endAllTrayInstances()) << "a tray instance would not end";
    Plinth::UniqueHandleObject first = startTrayProcess(), second = startTrayProcess();
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(waitUntil([] { return countTrayInstances() == 2; }))
        << countTrayInstances() << " answered";

    std::vector<HWND> windows = trayServiceWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_FALSE(IsWindowVisible(windows[0]) || IsWindowVisible(windows[1])) << "only an icon";
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(windows[0], trayBroadcastMessage(), 0, trayCloseRequest,
                                    SMTO_ABORTIFHUNG, 3000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(trayPresentReply));
    PostMessageA(windows[1], WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(exitCodeAfterEnd(first), 0u) << "the tray run ends with the loop's 0";
    EXPECT_EQ(exitCodeAfterEnd(second), 0u);
    EXPECT_EQ(countTrayInstances(), 0u);
}
