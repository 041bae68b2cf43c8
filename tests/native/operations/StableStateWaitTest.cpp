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
    std::uint32_t state = 0, waitHint = 0, exitCode = 0, specificCode = 0;
    std::uint32_t error = 0; // non-zero: the read fails
};

// Replays its reads, the last one repeating; the tick count wraps during the wait.
class ScriptedService : public StableStateProbe {
public:
    explicit ScriptedService(std::deque<Read> reads) : reads_(std::move(reads)) {}
    std::vector<std::uint32_t> waits;
    int posts = 0;
    bool quit = false;
    std::uint32_t now = 0xFFFFFF00;

    bool readStatus(ServiceStatus& status, std::uint32_t& error) override {
        const Read r = reads_.front();
        if (reads_.size() > 1) {
            reads_.pop_front();
        }
        status = {0, r.state, 0, r.exitCode, r.specificCode, 0, r.waitHint};
        error = r.error;
        return r.error == 0;
    }
    void postProgress() override { ++posts; }
    bool wait(std::uint32_t ms) override { return waits.push_back(ms), now += ms, !quit; }
    std::uint32_t tickCount() override { return now; }

private:
    std::deque<Read> reads_;
};

int waitFor(ScriptedService& s, std::uint32_t control = 0, std::uint32_t timeoutMs = 60000) {
    return waitForStableState(s, control, timeoutMs, [](unsigned id) {
        return id == 106 ? "Service specific error code: %d" : "";
    });
}

} // namespace

TEST(StableStateWait, PendingStatesPostAndWaitTheClampedHint) {
    for (std::uint32_t settled : {1u, 4u, 7u, 0u, 8u}) {
        ScriptedService s(std::deque<Read>{{settled}});
        EXPECT_EQ(waitFor(s), 1);
        EXPECT_EQ(s.posts, 0);
    }
    ScriptedService s({{2, 0}, {3, 30000}, {5, 750}, {6, 99}, {2, 2001}, {4}});
    EXPECT_EQ(waitFor(s), 1);
    EXPECT_EQ(s.posts, 5);
    EXPECT_EQ(s.waits, (std::vector<std::uint32_t>{100, 2000, 750, 100, 2000}));
}

TEST(StableStateWait, TimeOutQuitAndFailuresEndTheWait) {
    ScriptedService pending(std::deque<Read>{{2, 0}});
    EXPECT_EQ(waitFor(pending, 0, 500), 0);
    EXPECT_EQ(pending.waits.size(), 5u) << "the wait that reaches the time-out is the last";
    ScriptedService quitting(std::deque<Read>{{3, 0}});
    quitting.quit = true;
    EXPECT_EQ(waitFor(quitting, 1), -1);

    ScriptedService specific({{2}, {1, 0, 1066, 0x12345}});
    try {
        waitFor(specific);
        ADD_FAILURE() << "no exception";
    } catch (const Plinth::UserException& e) {
        EXPECT_EQ(e.getMessage(), "Service specific error code: 9029");
    }
    ScriptedService other(std::deque<Read>{{1, 0, 1064}});
    try {
        waitFor(other);
        ADD_FAILURE() << "no exception";
    } catch (const Plinth::SDKException& e) {
        EXPECT_EQ(e.code(), 1064u);
    }
    ScriptedService endedPipe({{3}, {0, 0, 0, 0, 109}});
    EXPECT_EQ(waitFor(endedPipe, 1), 1) << "a stopped service's pipe may be gone";
    ScriptedService endedPipeOnStart({{2}, {0, 0, 0, 0, 109}});
    EXPECT_THROW(waitFor(endedPipeOnStart, 0), Plinth::LWE);
}
