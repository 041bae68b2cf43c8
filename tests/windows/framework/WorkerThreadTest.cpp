// Worker threads: their life cycle, the join modes, the exception guard and
// the self-deleting exit.
#include "tests/windows/support/DialogScript.h"

#include "framework/Exception.h"
#include "framework/win/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

using namespace Plinth;
using kelvane::test::AnsweredBoxes;

namespace {

// Waits on its wake event until a stop is requested.
class CountingWorker : public WorkerThread {
public:
    CountingWorker()
        : WorkerThread("CountingWorker", &wake_),
          wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~CountingWorker() override { stop(JoinBlocking); }

    int32_t run() override {
        for (;;) {
            WaitForSingleObject(wake_.get(), INFINITE);
            if (stopRequests() != 0) {
                return 40 + exitCode();
            }
        }
    }
    int32_t exit(int32_t result) override {
        exitResult = result;
        if (sendTo) {
            // Answered only if the owner dispatches messages while it joins.
            SendMessageA(sendTo, WM_APP, 0, 0);
        }
        return result;
    }

    UniqueHandleObject wake_;
    std::atomic<int32_t> exitResult{0};
    HWND sendTo = nullptr;
};

DWORD exitCodeOf(HANDLE thread) {
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

int received = 0;
LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    received += message == WM_APP;
    return DefWindowProcA(window, message, w, l);
}

} // namespace

TEST(WorkerThreadLife, RunsUntilStoppedAndEndsWithTheBodysResultInEachJoinMode) {
    CountingWorker worker;
    EXPECT_EQ(WaitForSingleObject(worker.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "created suspended";
    worker.start();
    EXPECT_EQ(worker.stop(WorkerThread::JoinBlocking, INFINITE, 2), WAIT_OBJECT_0);
    EXPECT_EQ(worker.stopRequests(), 1u);
    EXPECT_EQ(exitCodeOf(worker.handle()), 42u);

    CountingWorker unjoined;
    unjoined.start();
    unjoined.stop(WorkerThread::NoJoin); // returns at once; the thread still ends
    EXPECT_EQ(WaitForSingleObject(unjoined.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(unjoined.exitResult.load(), 40);

    UniqueWindow window(
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    SetWindowLongPtrA(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countingProc));
    CountingWorker sending;
    sending.sendTo = window.get();
    sending.start();
    EXPECT_EQ(sending.stop(WorkerThread::JoinDispatching), static_cast<int>(WAIT_OBJECT_0));
    EXPECT_EQ(received, 1) << "the dispatching join served the worker's message";
}

TEST(WorkerThreadLife, AStopOnItsOwnThreadDoesNotWaitAndInitCanRefuseTheRun) {
    struct SelfStopper : WorkerThread {
        SelfStopper() : WorkerThread("SelfStopper", nullptr) {}
        int32_t run() override {
            joinResult = stop(JoinBlocking);
            return static_cast<int32_t>(stopRequests());
        }
        int joinResult = 0;
    } stopper;
    stopper.start();
    ASSERT_EQ(WaitForSingleObject(stopper.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(stopper.joinResult, static_cast<int>(WAIT_TIMEOUT));
    EXPECT_EQ(exitCodeOf(stopper.handle()), 1u);

    struct Refuser : WorkerThread {
        Refuser() : WorkerThread("Refuser", nullptr) {}
        int32_t init() override { return -1; }
        int32_t run() override { return ++calls; }
        int32_t exit(int32_t) override { return ++calls; }
        std::atomic<int> calls{0};
    } refuser;
    refuser.start();
    ASSERT_EQ(WaitForSingleObject(refuser.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(refuser.calls.load(), 0) << "neither run nor exit";
    EXPECT_EQ(exitCodeOf(refuser.handle()), 0xFFFFFFFFu);
}

TEST(WorkerThreadLife, ExitAsksForDeletionOnlyWithItsOwnValue) {
    struct Disposable : WorkerThread {
        Disposable(int32_t ending, std::atomic<bool>& gone)
            : WorkerThread("Disposable", nullptr), ending(ending), gone(gone) {}
        ~Disposable() override { gone = true; }
        int32_t run() override { return 3; }
        int32_t exit(int32_t) override { return ending; }
        int32_t ending;
        std::atomic<bool>& gone;
    };
    std::atomic<bool> gone{false};
    auto* disposable = new Disposable(WorkerThread::deleteOnExit, gone);
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), disposable->handle(), GetCurrentProcess(),
                                &thread, SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0));
    UniqueHandleObject owned(thread);
    disposable->start();
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(gone.load());
    EXPECT_EQ(exitCodeOf(thread), 3u);

    std::atomic<bool> kept{false};
    Disposable owner(-1, kept); // 0xFFFFFFFF is not the deleting value
    owner.start();
    ASSERT_EQ(WaitForSingleObject(owner.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_FALSE(kept.load());
}

TEST(WorkerThreadGuard, FailuresOfTheBodyAreReportedOnceAndBreakQuietly) {
    struct Thrower : WorkerThread {
        explicit Thrower(int kind) : WorkerThread("Thrower", nullptr), kind(kind) {}
        int32_t run() override {
            if (kind == 0) {
                throw BreakException();
            }
            if (kind == 1) {
                throw UserException("body failed");
            }
            throw std::runtime_error("out of range");
        }
        int32_t exit(int32_t result) override { return exitResult = result; }
        int kind;
        int32_t exitResult = 0;
    };
    AnsweredBoxes boxes;
    for (int kind = 0; kind < 3; ++kind) {
        Thrower worker(kind);
        worker.start();
        ASSERT_EQ(WaitForSingleObject(worker.handle(), INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(worker.exitResult, -1) << kind;
        EXPECT_EQ(exitCodeOf(worker.handle()), 0xFFFFFFFFu) << kind;
    }
    const auto& shown = boxes.boxes;
    ASSERT_EQ(shown.size(), 2u) << "BreakException is never shown";
    EXPECT_EQ(shown[0].caption, "Exception");
    EXPECT_NE(shown[0].text.find("body failed"), std::string::npos);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(shown[1].text, "An exception occured:\nout of range\n");
}
