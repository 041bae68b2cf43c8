// Tray instances of the real program, found and closed through the tray
// broadcast message from this process.
#include "shell/TrayClicks.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/support/TrayInstances.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class TrayInstancesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(endAllTrayInstances()) << "a tray instance would not end"; }
    void TearDown() override {
        endAllTrayInstances();
        for (auto& process : processes) {
            if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
                TerminateProcess(process.get(), 1);
            }
        }
    }
    void start(int count) {
        for (int i = 0; i < count; ++i) {
            processes.push_back(startTrayProcess());
            ASSERT_TRUE(processes.back());
        }
        ASSERT_TRUE(waitUntil([&] { return countTrayInstances() == unsigned(count); }))
            << countTrayInstances() << " answered";
    }
    DWORD exitCodeAfterEnd(const Plinth::UniqueHandleObject& process) {
        DWORD code = 259;
        if (WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.get(), &code);
        }
        return code;
    }
    std::vector<Plinth::UniqueHandleObject> processes;
};

} // namespace

TEST_F(TrayInstancesTest, TwoInstancesBothCountAndEachAnswersItsCloseRequest) {
    start(2);
    EXPECT_FALSE(minimiseEndsMainWindow(countTrayInstances())) << "a main window minimises";

    std::vector<HWND> windows = trayServiceWindows();
    ASSERT_EQ(windows.size(), 2u);
    for (HWND window : windows) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutA(window, trayBroadcastMessage(), 0, trayCloseRequest,
                                        SMTO_ABORTIFHUNG, 3000, &answer));
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(trayPresentReply));
    }
    for (auto& process : processes) {
        EXPECT_EQ(exitCodeAfterEnd(process), 0u) << "the tray run ends with the loop's 0";
    }
    EXPECT_EQ(countTrayInstances(), 0u);
}

TEST_F(TrayInstancesTest, WithOneInstanceMinimisingClosesTheMainWindowAndCloseAllEndsIt) {
    start(1);
    EXPECT_TRUE(minimiseEndsMainWindow(countTrayInstances()));

    closeAllTrayInstances();
    EXPECT_EQ(exitCodeAfterEnd(processes.front()), 0u);
    EXPECT_TRUE(trayServiceWindows().empty());
}

TEST_F(TrayInstancesTest, ExitFromTheMenuEndsTheRunWithZero) {
    start(1);
    std::vector<HWND> windows = trayServiceWindows();
    ASSERT_EQ(windows.size(), 1u);
    PostMessageA(windows.front(), WM_COMMAND, 32769, 0);
    EXPECT_EQ(exitCodeAfterEnd(processes.front()), 0u);
}
