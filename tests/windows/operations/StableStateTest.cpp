// Waiting for real services to settle; the waits are judged by the progress
// messages they post, never by the clock.
#include "operations/win/ScmConnection.h"
#include "tests/windows/support/TestServices.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Progress messages the window received: dispatched during a pumping wait,
// or still queued after a sleeping one.
int dispatchedProgress = 0;

LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++dispatchedProgress;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class StableStateTest : public ServiceFixture {
protected:
    HWND window = nullptr;
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = countingProcedure;
        windowClass.lpszClassName = "KelvaneProgressCounter";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dispatchedProgress = 0;
    }
    void TearDown() override { DestroyWindow(window); }

    int progressMessages() {
        int count = dispatchedProgress;
        MSG msg;
        while (PeekMessageA(&msg, window, WM_APP, WM_APP, PM_REMOVE)) {
            ++count;
        }
        return count;
    }
    std::string started(const std::string& arguments) {
        std::string name = services.create({arguments});
        EXPECT_TRUE(startService(name)) << GetLastError();
        return name;
    }
};

} // namespace

TEST_F(StableStateTest, NoWaitHintPollsEvery100Ms) {
    std::string name = started("--start-ms=1200 --wait-hint=0");
    ScmConnection connection;
    EXPECT_EQ(connection.waitForStableState(name, 0, window, true, 20000), 1);
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_GE(dispatchedProgress, 4) << "the pumping wait dispatched the progress messages";
    EXPECT_GE(progressMessages(), 4);
}

TEST_F(StableStateTest, LongWaitHintPollsEvery2Seconds) {
    std::string name = started("--start-ms=1200 --wait-hint=30000");
    ScmConnection connection;
    EXPECT_EQ(connection.waitForStableState(name, 0, window, false, 20000), 1);
    int posts = progressMessages();
    EXPECT_GE(posts, 1);
    EXPECT_LE(posts, 2);
}

TEST_F(StableStateTest, ServiceSpecificCodeIsShownWithItsLow16Bits) {
    std::string name = services.create({"--fail-start --specific-code=0x12345"});
    startService(name);
    ASSERT_TRUE(waitForState(name, SERVICE_STOPPED));
    ScmConnection connection;
    try {
        connection.waitForStableState(name, 0, window, false, 10000);
        FAIL() << "no exception";
    } catch (const Plinth::UserException& e) {
        EXPECT_EQ(e.getMessage(), "Service specific error code: 9029");
    }
}
