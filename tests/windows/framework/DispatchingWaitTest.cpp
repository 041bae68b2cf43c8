// The message loop's quit levels and the waits that keep dispatching: each
// test posts real messages to a real window on the test's thread.
#include "BoxRecorder.h"
#include "framework/Exception.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Plinth;
using kelvane::test::BoxRecorder;

namespace {

constexpr UINT countMessage = WM_APP;
constexpr UINT nestLoopMessage = WM_APP + 1;
constexpr UINT nestSleepMessage = WM_APP + 2;
constexpr UINT failMessage = WM_APP + 3;

struct WindowState {
    int counted = 0;
    int nestedResult = 1234;
    HANDLE setOnCount = nullptr; // set when a count message arrives
    int paints = 0;
};

LRESULT CALLBACK testProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case countMessage:
        ++state->counted;
        if (state->setOnCount && state->counted >= static_cast<int>(w)) {
            SetEvent(state->setOnCount);
        }
        return 0;
    case nestLoopMessage:
        PostQuitMessage(static_cast<int>(w));
        state->nestedResult = runLoop();
        return 0;
    case nestSleepMessage:
        PostQuitMessage(static_cast<int>(w));
        state->nestedResult = sleepDispatching(600000);
        return 0;
    case failMessage:
        throw UserException("handler failed");
    case WM_PAINT:
        // Never validates itself, so only the loop's validation ends the
        // paints (the cut-off keeps a failing test from hanging).
        if (++state->paints > 20) {
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
        window = CreateWindowExA(0, "KelvaneWaitTest", "wait test", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                 100, nullptr, nullptr, type.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        event.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        level = MessageLoop::current().level();
    }
    void TearDown() override {
        DestroyWindow(window);
        // Nothing a test left behind may reach the next one.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    int levelsRaised() const { return MessageLoop::current().level() - level; }
    void post(UINT message, WPARAM w = 0) { PostMessageA(window, message, w, 0); }

    HWND window = nullptr;
    WindowState state;
    UniqueHandleObject event;
    int level = 0;
};

} // namespace

TEST_F(DispatchingWaitTest, LoopDispatchesUntilQuitAndReturnsItsCode) {
    post(countMessage);
    post(countMessage);
    PostQuitMessage(5);
    EXPECT_EQ(runLoop(), 5);
    EXPECT_EQ(state.counted, 2);
    EXPECT_EQ(levelsRaised(), 1);
}

TEST_F(DispatchingWaitTest, AQuitTakenByANestedLoopEndsTheOuterLoopToo) {
    post(nestLoopMessage, 3);
    post(countMessage);
    EXPECT_EQ(runLoop(), 3);
    EXPECT_EQ(state.nestedResult, 3);
    EXPECT_EQ(levelsRaised(), 1);
    EXPECT_EQ(state.counted, 1) << "the nested loop served the other message";
}

TEST_F(DispatchingWaitTest, HandlerFailuresAreReportedAndTheLoopGoesOn) {
    BoxRecorder recorder;
    post(failMessage);
    post(countMessage);
    PostQuitMessage(0);
    runLoop();
    EXPECT_EQ(state.counted, 1);
    auto boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Exception");
    EXPECT_EQ(boxes[0].text, "Ein Fehler trat auf w\xE4hrend -NO-CONTEXT-:\nhandler failed");
}

TEST_F(DispatchingWaitTest, AFailingPaintIsValidatedSoItIsNotRepeated) {
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
    BoxRecorder recorder;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
    // The timer comes only once no paint is pending.
    SetTimer(window, 1, 1, nullptr);
    EXPECT_EQ(runLoop(), 2);
    MessageLoop::current().removeFilter(this, failOnPaint);
    EXPECT_EQ(state.paints, 1);
    EXPECT_EQ(recorder.boxes().size(), 1u);
}

TEST_F(DispatchingWaitTest, WaitForObjectsDispatchesWhileItWaitsAndEndsOnQuit) {
    state.setOnCount = event.get();
    post(countMessage, 3);
    post(countMessage, 3);
    post(countMessage, 3);
    HANDLE handles[] = {event.get()};
    EXPECT_EQ(waitForObjects(1, handles, false, INFINITE), static_cast<int>(WAIT_OBJECT_0));
    EXPECT_EQ(state.counted, 3);
    EXPECT_EQ(levelsRaised(), 0);
    EXPECT_EQ(waitForObjects(1, handles, false, 0), static_cast<int>(WAIT_TIMEOUT));
    PostQuitMessage(0);
    EXPECT_EQ(waitForObjects(1, handles, false, INFINITE), -1);
    EXPECT_EQ(levelsRaised(), 1);
}

TEST_F(DispatchingWaitTest, QuitDuringANestedSleepEndsBothWaits) {
    HANDLE handles[] = {event.get()};
    post(nestSleepMessage, 7);
    EXPECT_EQ(waitForObjects(1, handles, false, INFINITE), -1);
    EXPECT_EQ(state.nestedResult, -1);
    EXPECT_EQ(levelsRaised(), 1);
}

TEST_F(DispatchingWaitTest, SleepResults) {
    EXPECT_EQ(sleepDispatching(1), 1);
    EXPECT_EQ(sleepDispatching(0), 1);

    post(countMessage);
    post(countMessage);
    PostQuitMessage(0);
    EXPECT_EQ(sleepDispatching(600000), -1);
    EXPECT_EQ(state.counted, 2);

    // A quit taken by a loop nested in a dispatched message: neither the
    // time passed nor this wait's quit.
    post(nestLoopMessage, 1);
    EXPECT_EQ(sleepDispatching(600000), 0);
    EXPECT_EQ(levelsRaised(), 2);
}

TEST_F(DispatchingWaitTest, LockHeldElsewhereIsEnteredWhileServingMessagesAndReentered) {
    CriticalSection lock;
    UniqueHandleObject held(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    state.setOnCount = event.get();
    std::thread holder([&] {
        lock.enter();
        SetEvent(held.get());
        // Released only once the waiting thread has served a message.
        WaitForSingleObject(event.get(), INFINITE);
        lock.leave();
    });
    WaitForSingleObject(held.get(), INFINITE);
    post(countMessage, 1);
    EXPECT_TRUE(enterLockDispatching(lock));
    EXPECT_EQ(state.counted, 1);
    holder.join();
    PostQuitMessage(0); // would end the wait if it waited
    EXPECT_TRUE(enterLockDispatching(lock)) << "re-entered on the thread that holds it";
    lock.leave();
    lock.leave();
}

TEST_F(DispatchingWaitTest, QuitWhileWaitingForALockGivesFalseWithoutTheLock) {
    CriticalSection lock;
    UniqueHandleObject held(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandleObject release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        lock.enter();
        SetEvent(held.get());
        WaitForSingleObject(release.get(), INFINITE);
        lock.leave();
    });
    WaitForSingleObject(held.get(), INFINITE);
    PostQuitMessage(0);
    EXPECT_FALSE(enterLockDispatching(lock));
    EXPECT_EQ(levelsRaised(), 1);
    SetEvent(release.get());
    holder.join();
    bool freeForOthers = false;
    std::thread other([&] {
        freeForOthers = lock.tryEnter();
        if (freeForOthers) {
            lock.leave();
        }
    });
    other.join();
    EXPECT_TRUE(freeForOthers);
}
