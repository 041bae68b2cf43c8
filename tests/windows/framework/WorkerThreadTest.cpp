// Worker threads: their life cycle, the join modes and the exception guard.
#include "tests/windows/support/DialogScript.h"

#include "framework/Exception.h"
#include "framework/win/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

using namespace Plinth;
using kelvane::test::AnsweredBoxes;

namespace {

// Runs the given body; without one it waits on its wake event until a stop
// and ends with 40 plus the stop's code.
class TestWorker : public WorkerThread {
public:
    explicit TestWorker(std::function<int32_t(TestWorker&)> body = nullptr)
        : WorkerThread("TestWorker", &wake_), body_(std::move(body)),
          wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~TestWorker() override { stop(JoinBlocking); }
    int32_t run() override {
        if (body_) {
            return body_(*this);
        }
        while (stopRequests() == 0) {
            WaitForSingleObject(wake_.get(), INFINITE);
        }
        return 40 + exitCode();
    }
    int32_t exit(int32_t result) override {
        exitResult = result;
        return result;
    }

    std::atomic<int32_t> exitResult{0};

private:
    std::function<int32_t(TestWorker&)> body_;
    UniqueHandleObject wake_;
};

} // namespace

TEST(WorkerThreadLife, RunsUntilStoppedAndEndsWithTheBodysResultInEachJoinMode) {
    TestWorker worker;
    EXPECT_EQ(WaitForSingleObject(worker.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "created suspended";
    worker.start();
    EXPECT_EQ(worker.stop(WorkerThread::JoinBlocking, INFINITE, 2), WAIT_OBJECT_0);
    EXPECT_EQ(worker.exitResult.load(), 42);

    TestWorker unjoined;
    unjoined.start();
    unjoined.stop(WorkerThread::NoJoin); // returns at once; the thread still ends
    EXPECT_EQ(WaitForSingleObject(unjoined.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(unjoined.exitResult.load(), 40);

    int joinResult = 0;
    TestWorker stopper([&](TestWorker& self) {
        joinResult = self.stop(WorkerThread::JoinBlocking);
        return static_cast<int32_t>(self.stopRequests());
    });
    stopper.start();
    ASSERT_EQ(WaitForSingleObject(stopper.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(joinResult, static_cast<int>(WAIT_TIMEOUT)) << "a stop on its own thread waits not";
    EXPECT_EQ(stopper.exitResult.load(), 1);
}

TEST(WorkerThreadGuard, FailuresOfTheBodyAreReportedOnceAndBreakQuietly) {
    AnsweredBoxes boxes;
    const std::function<void()> failures[] = {[] { throw BreakException(); },
                                              [] { throw UserException("body failed"); },
                                              [] { throw std::runtime_error("out of range"); }};
    for (const auto& fail : failures) {
        TestWorker worker([&fail](TestWorker&) -> int32_t {
            fail();
            return 0;
        });
        worker.start();
        ASSERT_EQ(WaitForSingleObject(worker.handle(), INFINITE), WAIT_OBJECT_0);
    }
    const auto& shown = boxes.boxes;
    ASSERT_EQ(shown.size(), 2u) << "BreakException is never shown";
    EXPECT_NE(shown[0].text.find("body failed"), std::string::npos);
    EXPECT_EQ(shown[1].text, "An exception occured:\nout of range\n");
}
