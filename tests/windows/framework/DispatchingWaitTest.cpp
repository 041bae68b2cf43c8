// The message loop's quit levels and the waits that keep dispatching: each
// test posts real messages to a real window on the test's thread.
#include "tests/windows/support/DialogScript.h"

#include "framework/Exception.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Plinth;
using kelvane::test::AnsweredBoxes;

namespace {

constexpr UINT countMessage = WM_APP;
constexpr UINT nestLoopMessage = WM_APP + 1;

struct WindowState {
    int counted = 0;
    int nestedResult = 1234;
    HANDLE setOnCount = nullptr; // set when the count reaches the message's wParam
    int paints = 0;
} state;

LRESULT CALLBACK testProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case countMessage:
        if (++state.counted >= static_cast<int>(w) && state.setOnCount) {
            SetEvent(state.setOnCount);
        }
        return 0;
    case nestLoopMessage:
        PostQuitMessage(static_cast<int>(w));
        state.nestedResult = runLoop();
        return 0;
    case WM_PAINT:
        // Never validates itself, so only the loop's validation ends the
        // paints (the cut-off keeps a failing test from hanging).
        if (++state.paints > 20) {
            ValidateRect(window, nullptr);
        }
        return 0;
    case WM_TIMER:
        KillTimer(window, w);
        PostQuitMessage(2);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

class DispatchingWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA type{};
        type.lpfnWndProc = &testProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "KelvaneWaitTest";
        RegisterClassA(&type); // already there after the first test
        window.reset(CreateWindowExA(0, "KelvaneWaitTest", "wait test", WS_OVERLAPPEDWINDOW, 0, 0,
                                     200, 100, nullptr, nullptr, type.hInstance, nullptr));
        state = WindowState();
        event.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    }
    void TearDown() override {
        window.reset();
        MSG message; // nothing a test left behind may reach the next one
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void post(UINT message, WPARAM w = 0) { PostMessageA(window.get(), message, w, 0); }

    UniqueWindow window;
    UniqueHandleObject event;
};

} // namespace

// A failing handler's report is shown by the main window's test
// (MainWindowTest.AReportDuringAHandlerBelongsToTheMainWindow).
TEST_F(DispatchingWaitTest, AFailedPaintIsReportedOnceAndValidatedAndTheLoopGoesOn) {
    AnsweredBoxes boxes;
    // A window procedure's exception during a paint does not come back
    // through DispatchMessageA on x64 (the system's callback swallows it), so
    // the failure comes from a filter, the step before.
    MessageLoop::Filter failOnPaint = [](void*, MSG& message) -> bool {
        if (message.message == WM_PAINT) {
            throw UserException("paint failed");
        }
        return false;
    };
    MessageLoop::current().addFilter(this, failOnPaint);
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    InvalidateRect(window.get(), nullptr, TRUE);
    SetTimer(window.get(), 1, 1, nullptr); // comes only once no paint is pending
    EXPECT_EQ(runLoop(), 2);
    MessageLoop::current().removeFilter(this, failOnPaint);
    EXPECT_EQ(state.paints, 1) << "the failed paint was validated";
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("paint failed"), std::string::npos);
}

TEST_F(DispatchingWaitTest, LoopsAndWaitsDispatchAndAnyQuitEndsThemAndTheLoopsAround) {
    post(nestLoopMessage, 3);
    post(countMessage);
    EXPECT_EQ(runLoop(), 3) << "the quit a nested loop took ends the loop around it";
    EXPECT_EQ(state.nestedResult, 3);
    EXPECT_EQ(state.counted, 1) << "the nested loop served the other message";

    state.setOnCount = event.get();
    post(countMessage, 3);
    post(countMessage, 3);
    HANDLE handles[] = {event.get()};
    EXPECT_EQ(waitForObjects(1, handles, false, INFINITE), static_cast<int>(WAIT_OBJECT_0));
    EXPECT_EQ(sleepDispatching(1), 1) << "the time passed";

    PostQuitMessage(0);
    EXPECT_EQ(waitForObjects(1, handles, false, INFINITE), -1);
    post(nestLoopMessage, 7);
    EXPECT_EQ(waitForObjects(1, handles, false, INFINITE), -1) << "a quit in a nested loop";
    PostQuitMessage(0);
    EXPECT_EQ(sleepDispatching(600000), -1);
    // A quit taken by a loop nested in a dispatched message: neither the
    // time passed nor this wait's own quit.
    post(nestLoopMessage, 1);
    EXPECT_EQ(sleepDispatching(600000), 0);
}

TEST_F(DispatchingWaitTest, ALockHeldElsewhereIsWaitedForWhileServingMessagesUntilAQuit) {
    CriticalSection lock;
    UniqueHandleObject held(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    auto holdUntil = [&](HANDLE until) {
        std::thread holder([&lock, &held, until] {
            lock.enter();
            SetEvent(held.get());
            WaitForSingleObject(until, INFINITE);
            lock.leave();
        });
        WaitForSingleObject(held.get(), INFINITE);
        return holder;
    };
    // Released only once the waiting thread has served a message.
    state.setOnCount = event.get();
    std::thread holder = holdUntil(event.get());
    post(countMessage, 1);
    EXPECT_TRUE(enterLockDispatching(lock));
    EXPECT_EQ(state.counted, 1);
    holder.join();
    lock.leave();

    holder = holdUntil(event.get());
    PostQuitMessage(0);
    EXPECT_FALSE(enterLockDispatching(lock));
    SetEvent(event.get());
    holder.join();
    bool freeForOthers = false;
    std::thread([&] {
        if ((freeForOthers = lock.tryEnter())) {
            lock.leave();
        }
    }).join();
    EXPECT_TRUE(freeForOthers) << "the quit left the lock to others";
}
