// Worker threads, the message loop and the dispatching waits on real
// platform threads, events and window messages.
#include "framework/win/MessageLoop.h"
#include "framework/win/UniqueHandle.h"
#include "framework/win/WorkerThread.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

using namespace Plinth;

namespace {

constexpr UINT pingMessage = WM_APP + 7;

// A message-only window that counts what it receives and can run a callback.
class CountingWindow {
public:
    CountingWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KelvaneCountingWindow";
        RegisterClassA(&windowClass);
        window_ =
            UniqueWindow(CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0,
                                         HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr));
        SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND handle() const { return window_.get(); }
    std::atomic<int> pings{0};
    HANDLE signalOnPing = nullptr;
    std::function<void()> onPing;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto self = reinterpret_cast<CountingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == pingMessage) {
            ++self->pings;
            if (self->onPing) {
                self->onPing();
            }
            if (self->signalOnPing) {
                SetEvent(self->signalOnPing);
            }
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    UniqueWindow window_;
};

UniqueHandleObject autoResetEvent() {
    return UniqueHandleObject(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

// Waits for its wake event until a stop is requested, counting the calls.
class WaitingWorker : public WorkerThread {
public:
    explicit WaitingWorker(std::int32_t initResult = 0)
        : WorkerThread("TestWorker", (wake_ = autoResetEvent()).get()), initResult_(initResult) {}
    std::atomic<int> inits{0}, runs{0}, exits{0};

protected:
    std::int32_t init() override {
        ++inits;
        return initResult_;
    }
    std::int32_t run() override {
        ++runs;
        while (!stopRequested()) {
            WaitForSingleObject(wakeEvent(), INFINITE);
        }
        return 42;
    }
    std::int32_t exit(std::int32_t result) override {
        ++exits;
        return result;
    }

private:
    UniqueHandleObject wake_;
    std::int32_t initResult_;
};

DWORD exitCodeOf(HANDLE thread) {
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

void drainQuitMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

} // namespace

TEST(WorkerThreadTest, RunsUntilStoppedAndEndsWithTheBodysResult) {
    WaitingWorker worker;
    worker.start();
    worker.start(); // a second start only signals nothing
    ASSERT_TRUE(worker.stop(WorkerThread::joinBlocking, 10000, 7));
    EXPECT_EQ(worker.exitCode(), 7);
    EXPECT_EQ(exitCodeOf(worker.handle()), 42u);
    EXPECT_EQ(worker.inits.load(), 1);
    EXPECT_EQ(worker.runs.load(), 1);
    EXPECT_EQ(worker.exits.load(), 1);
}

TEST(WorkerThreadTest, AnInitOfMinusOneSkipsBodyAndExit) {
    WaitingWorker worker(-1);
    worker.start();
    ASSERT_TRUE(worker.stop(WorkerThread::joinBlocking, 10000));
    EXPECT_EQ(worker.runs.load(), 0);
    EXPECT_EQ(worker.exits.load(), 0);
    EXPECT_EQ(exitCodeOf(worker.handle()), static_cast<DWORD>(-1));
}

TEST(WorkerThreadTest, ANeverStartedWorkerStillStops) {
    WaitingWorker worker;
    EXPECT_TRUE(worker.stop(WorkerThread::joinBlocking, 10000));
    EXPECT_EQ(worker.runs.load(), 1) << "it ran only to see the stop request";
}

namespace {

class SelfStoppingWorker : public WorkerThread {
public:
    SelfStoppingWorker() : WorkerThread("SelfStopping", nullptr) {}
    std::atomic<bool> returnedAtOnce{false};

protected:
    std::int32_t run() override {
        // Joining itself would wait for ever; stop must come back at once.
        returnedAtOnce = !stop(joinBlocking, INFINITE);
        return 0;
    }
};

class ThrowingWorker : public WorkerThread {
public:
    explicit ThrowingWorker(bool breakOnly)
        : WorkerThread("ThrowingWorker", nullptr), breakOnly_(breakOnly) {}

protected:
    std::int32_t run() override {
        if (breakOnly_) {
            throw BreakException();
        }
        throw UserException("the body failed");
    }

private:
    bool breakOnly_;
};

class SelfDeletingWorker : public WorkerThread {
public:
    explicit SelfDeletingWorker(std::atomic<bool>& deleted)
        : WorkerThread("SelfDeleting", nullptr), deleted_(deleted) {}
    ~SelfDeletingWorker() override { deleted_ = true; }

protected:
    std::int32_t run() override { return 5; }
    std::int32_t exit(std::int32_t) override { return deleteOnExit; }

private:
    std::atomic<bool>& deleted_;
};

} // namespace

TEST(WorkerThreadTest, StopOnItsOwnThreadDoesNotWait) {
    SelfStoppingWorker worker;
    worker.start();
    ASSERT_TRUE(worker.stop(WorkerThread::joinBlocking, 10000));
    EXPECT_TRUE(worker.returnedAtOnce.load());
}

TEST(WorkerThreadTest, ExceptionsAreReportedAndBreaksEndSilently) {
    std::string reported;
    setFailureReporter([&](const char* where) {
        try {
            throw;
        } catch (const Exception& e) {
            reported = std::string(where) + ": " + e.getMessage();
        }
    });
    ThrowingWorker failing(false);
    failing.start();
    ASSERT_TRUE(failing.stop(WorkerThread::joinBlocking, 10000));
    EXPECT_EQ(reported, "ThrowingWorker: the body failed");
    EXPECT_EQ(exitCodeOf(failing.handle()), static_cast<DWORD>(-1));

    reported.clear();
    ThrowingWorker breaking(true);
    breaking.start();
    ASSERT_TRUE(breaking.stop(WorkerThread::joinBlocking, 10000));
    EXPECT_EQ(reported, "") << "a break is no failure";
    EXPECT_EQ(exitCodeOf(breaking.handle()), static_cast<DWORD>(-1));
    setFailureReporter(nullptr);
}

TEST(WorkerThreadTest, ExitCanAskForTheObjectToBeDeleted) {
    std::atomic<bool> deleted{false};
    auto worker = new SelfDeletingWorker(deleted);
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), worker->handle(), GetCurrentProcess(), &thread,
                    SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0);
    UniqueHandleObject threadHandle(thread);
    worker->start();
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(deleted.load());
    EXPECT_EQ(exitCodeOf(thread), 5u);
}

namespace {

// Posts a ping to the window, then waits until the window has handled it:
// only a join that dispatches messages lets it end.
class PingingWorker : public WorkerThread {
public:
    PingingWorker(HWND window, HANDLE handled)
        : WorkerThread("Pinging", nullptr), window_(window), handled_(handled) {}

protected:
    std::int32_t run() override {
        PostMessageA(window_, pingMessage, 0, 0);
        return WaitForSingleObject(handled_, 10000) == WAIT_OBJECT_0 ? 0 : 1;
    }

private:
    HWND window_;
    HANDLE handled_;
};

} // namespace

TEST(WorkerThreadTest, TheDispatchingJoinKeepsTheWindowAlive) {
    CountingWindow window;
    UniqueHandleObject handled = autoResetEvent();
    window.signalOnPing = handled.get();

    PingingWorker blocked(window.handle(), handled.get());
    blocked.start();
    // The blocking join cannot dispatch the ping, so the worker cannot end yet.
    EXPECT_FALSE(blocked.stop(WorkerThread::joinBlocking, 300));
    EXPECT_EQ(window.pings.load(), 0);
    EXPECT_TRUE(blocked.stop(WorkerThread::joinDispatching, 10000));
    EXPECT_EQ(window.pings.load(), 1);
    EXPECT_EQ(exitCodeOf(blocked.handle()), 0u);
}

TEST(DispatchingWaitTest, WaitForObjectsDispatchesAndEndsOnQuit) {
    CountingWindow window;
    UniqueHandleObject never = autoResetEvent();
    UniqueHandleObject set = autoResetEvent();
    HANDLE handles[] = {set.get()};
    window.onPing = [&] { SetEvent(set.get()); };
    PostMessageA(window.handle(), pingMessage, 0, 0);
    EXPECT_EQ(waitForObjects(1, handles, false, 10000), WAIT_OBJECT_0) << "the ping set the event";
    EXPECT_EQ(window.pings.load(), 1);

    const int level = MessageLoop::current().level();
    PostQuitMessage(3);
    HANDLE neverHandles[] = {never.get()};
    EXPECT_EQ(waitForObjects(1, neverHandles, false, 10000), static_cast<DWORD>(-1));
    EXPECT_EQ(MessageLoop::current().level(), level + 1);
    drainQuitMessages();
    EXPECT_EQ(waitForObjects(1, neverHandles, false, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(DispatchingWaitTest, SleepReturnsOneOrMinusOneOnQuit) {
    CountingWindow window;
    PostMessageA(window.handle(), pingMessage, 0, 0);
    EXPECT_EQ(sleepDispatching(50), 1);
    EXPECT_EQ(window.pings.load(), 1) << "messages are dispatched while sleeping";

    PostQuitMessage(0);
    EXPECT_EQ(sleepDispatching(60000), -1);
    drainQuitMessages();
}

TEST(DispatchingWaitTest, ANestedLoopTakingTheQuitEndsTheOuterWait) {
    CountingWindow window;
    // The ping handler runs a nested loop that takes a quit message.
    window.onPing = [] {
        PostQuitMessage(9);
        MessageLoop::current().runLoop();
    };
    const int level = MessageLoop::current().level();
    PostMessageA(window.handle(), pingMessage, 0, 0);
    int result = sleepDispatching(60000);
    EXPECT_NE(result, 1) << "the outer sleep must not run to its end";
    EXPECT_GT(MessageLoop::current().level(), level);
    drainQuitMessages();
}

namespace {

// Another thread that holds a lock until it is told to let go.
class LockHolder {
public:
    explicit LockHolder(CriticalSection& lock) : lock_(lock) {
        thread_ = UniqueHandleObject(CreateThread(nullptr, 0, body, this, 0, nullptr));
        WaitForSingleObject(held_.get(), 10000);
    }
    ~LockHolder() {
        letGo();
        WaitForSingleObject(thread_.get(), 10000);
    }
    void letGo() { SetEvent(release_.get()); }

private:
    static DWORD WINAPI body(void* parameter) {
        auto self = static_cast<LockHolder*>(parameter);
        self->lock_.enter();
        SetEvent(self->held_.get());
        WaitForSingleObject(self->release_.get(), 10000);
        self->lock_.leave();
        return 0;
    }
    CriticalSection& lock_;
    UniqueHandleObject held_ = autoResetEvent();
    UniqueHandleObject release_ = autoResetEvent();
    UniqueHandleObject thread_;
};

} // namespace

TEST(DispatchingWaitTest, EnterLockWaitsForTheHolderAndReentersAtOnce) {
    CriticalSection lock;
    LockHolder holder(lock);
    // While we wait for the lock, a message arrives and lets the holder go.
    CountingWindow window;
    window.onPing = [&] { holder.letGo(); };
    PostMessageA(window.handle(), pingMessage, 0, 0);
    ASSERT_TRUE(enterLockDispatching(lock));
    EXPECT_EQ(window.pings.load(), 1);
    EXPECT_TRUE(enterLockDispatching(lock)) << "re-entry by the holding thread";
    lock.leave();
    lock.leave();
}

TEST(DispatchingWaitTest, EnterLockGivesUpWhenTheApplicationQuits) {
    CriticalSection lock;
    LockHolder holder(lock);
    PostQuitMessage(0);
    EXPECT_FALSE(enterLockDispatching(lock));
    drainQuitMessages();
}
