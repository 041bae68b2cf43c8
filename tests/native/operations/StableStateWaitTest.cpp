// When the wait for a settled service ends, and how it fails, over a
// scripted sequence of status reads.
#include "operations/StableStateWait.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace kelvane;

namespace {

struct Read {
    ServiceStatus status;
    std::uint32_t error = 0; // non-zero: the read fails
};

ServiceStatus inState(std::uint32_t state, std::uint32_t waitHint = 0) {
    ServiceStatus s;
    s.currentState = state;
    s.waitHint = waitHint;
    return s;
}

class ScriptedService : public StableStateProbe {
public:
    std::deque<Read> reads;
    std::vector<std::uint32_t> waits;
    int posts = 0;
    std::uint32_t now = 0xFFFFFF00; // the tick count wraps during the wait
    bool quitAtWait = false;

    bool readStatus(ServiceStatus& status, std::uint32_t& error) override {
        Read r = reads.size() > 1 ? reads.front() : reads.at(0);
        if (reads.size() > 1) {
            reads.pop_front();
        }
        status = r.status;
        error = r.error;
        return r.error == 0;
    }
    void postProgress() override { ++posts; }
    bool wait(std::uint32_t ms) override {
        waits.push_back(ms);
        now += ms;
        return !quitAtWait;
    }
    std::uint32_t tickCount() override { return now; }
};

std::string texts(unsigned id) {
    return id == 106 ? "Service specific error code: %d" : "";
}

class StableStateWaitTest : public ::testing::Test {
protected:
    ScriptedService service;
    int wait(std::uint32_t control = 0, std::uint32_t timeoutMs = 60000) {
        return waitForStableState(service, control, timeoutMs, texts);
    }
};

} // namespace

TEST_F(StableStateWaitTest, SettledStatesReturnAtOnceWithoutProgress) {
    for (std::uint32_t state : {1u, 4u, 7u, 0u, 8u}) {
        service.reads = {{inState(state)}};
        EXPECT_EQ(wait(), 1) << state;
    }
    EXPECT_EQ(service.posts, 0);
    EXPECT_TRUE(service.waits.empty());
}

TEST_F(StableStateWaitTest, PendingStatesPostAndWaitTheClampedHint) {
    service.reads = {{inState(2, 0)},  {inState(3, 30000)}, {inState(5, 750)},
                     {inState(6, 99)}, {inState(2, 2001)},  {inState(4)}};
    EXPECT_EQ(wait(), 1);
    EXPECT_EQ(service.posts, 5);
    EXPECT_EQ(service.waits, (std::vector<std::uint32_t>{100, 2000, 750, 100, 2000}));
}

TEST_F(StableStateWaitTest, TimeOutIsAResultNotAFailure) {
    service.reads = {{inState(2, 0)}};
    EXPECT_EQ(wait(0, 450), 0);
    EXPECT_EQ(service.waits.size(), 5u) << "stops at the first wait that reaches the limit";
}

TEST_F(StableStateWaitTest, QuittingEndsTheWait) {
    service.reads = {{inState(3, 0)}};
    service.quitAtWait = true;
    EXPECT_EQ(wait(1), -1);
    EXPECT_EQ(service.posts, 1);
}

TEST_F(StableStateWaitTest, ServiceSpecificCodeKeepsItsLow16Bits) {
    ServiceStatus failed = inState(1);
    failed.win32ExitCode = 1066;
    failed.serviceSpecificExitCode = 0x12345;
    service.reads = {{inState(2)}, {failed}};
    try {
        wait();
        FAIL() << "no exception";
    } catch (const Plinth::UserException& e) {
        EXPECT_EQ(e.getMessage(), "Service specific error code: 9029");
    }
}

TEST_F(StableStateWaitTest, OtherExitCodesRaiseThatCode) {
    ServiceStatus failed = inState(1);
    failed.win32ExitCode = 1064;
    service.reads = {{failed}};
    try {
        wait();
        FAIL() << "no exception";
    } catch (const Plinth::SDKException& e) {
        EXPECT_EQ(e.code(), 1064u);
        EXPECT_EQ(dynamic_cast<const Plinth::LWE*>(&e), nullptr);
    }
}

TEST_F(StableStateWaitTest, EndedPipeCountsAsStoppedOnlyAfterAStop) {
    service.reads = {{inState(3)}, {{}, 109}};
    EXPECT_EQ(wait(1), 1);

    service.reads = {{inState(2)}, {{}, 109}};
    try {
        wait(0);
        FAIL() << "no exception";
    } catch (const Plinth::LWE& e) {
        EXPECT_EQ(e.code(), 109u);
    }
    service.reads = {{{}, 6}};
    EXPECT_THROW(wait(1), Plinth::LWE);
}
