// Waiting for a real service to settle: the pauses and codes are the native
// tests' business; here the pumping wait serves the window while Wine's
// manager reports the service pending, and the sleeping one leaves the
// progress messages queued.
#include "operations/win/ScmConnection.h"
#include "tests/windows/support/TestServices.h"

using namespace kelvane;
using namespace kelvane::test;

using StableStateTest = ServiceFixture;

namespace {

int dispatchedProgress = 0;

LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    dispatchedProgress += message == WM_APP;
    return DefWindowProcA(window, message, wParam, lParam);
}

int queuedProgress(HWND window) {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_APP, WM_APP, PM_REMOVE)) {
        ++count;
    }
    return count;
}

} // namespace

TEST_F(StableStateTest, APumpingWaitDispatchesTheProgressAndASleepingOneQueuesIt) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = countingProcedure;
    windowClass.lpszClassName = "KelvaneProgressCounter";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ScmConnection connection;
    for (bool pumping : {true, false}) {
        std::string name = services.create({"--start-ms=1200 --wait-hint=0"});
        ASSERT_TRUE(startService(name)) << GetLastError();
        dispatchedProgress = 0;
        EXPECT_EQ(connection.waitForStableState(name, 0, window, pumping, 20000), 1);
        EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
        const int queued = queuedProgress(window);
        EXPECT_GE(pumping ? dispatchedProgress : queued, 4) << pumping;
        if (!pumping) {
            EXPECT_EQ(dispatchedProgress, 0);
        }
    }
    DestroyWindow(window);
}
