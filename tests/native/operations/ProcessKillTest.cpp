// Ending processes against a scripted platform: what is counted, what is
// reported, and that the privilege and the handle never outlive one
// termination.
#include "operations/ProcessKill.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace kelvane;

namespace {

class ScriptedProcesses : public KillPlatform {
public:
    std::set<std::uint32_t> running = {300, 400};
    std::set<std::uint32_t> protectedOnes; // termination refused
    std::vector<std::string> log;
    bool privilegeOn = false;
    bool open = false;

    std::uint32_t setDebugPrivilege(bool enable) override {
        log.push_back(enable ? "enable" : "disable");
        privilegeOn = enable;
        return 0;
    }
    std::uint32_t openProcess(std::uint32_t id) override {
        log.push_back("open " + std::to_string(id));
        if (!running.count(id)) {
            return 87; // the platform refuses unknown ids, and 0
        }
        open = true;
        current_ = id;
        return 0;
    }
    std::uint32_t terminateProcess() override {
        log.push_back("terminate " + std::to_string(current_));
        if (protectedOnes.count(current_)) {
            return 5;
        }
        running.erase(current_);
        return 0;
    }
    void waitForEnd(std::uint32_t ms) override { log.push_back("wait " + std::to_string(ms)); }
    void closeProcess() override {
        log.push_back("close");
        open = false;
    }

private:
    std::uint32_t current_ = 0;
};

struct KillRun {
    ScriptedProcesses platform;
    std::vector<std::string> lines;
    int kill(const std::vector<std::string>& ids) {
        return killProcesses(platform, ids, [this](const std::string& t) { lines.push_back(t); });
    }
};

} // namespace

TEST(ProcessKillTest, EachProcessEndsWithinItsOwnPrivilegeWindow) {
    KillRun run;
    EXPECT_EQ(run.kill({"300", "400"}), 2);
    const std::vector<std::string> expected = {
        "enable", "open 300", "terminate 300", "wait 3000", "close", "disable",
        "enable", "open 400", "terminate 400", "wait 3000", "close", "disable"};
    EXPECT_EQ(run.platform.log, expected);
    EXPECT_TRUE(run.lines.empty());
}

TEST(ProcessKillTest, ARefusedOrImpossibleTerminationIsReportedAndNotCounted) {
    KillRun run;
    run.platform.protectedOnes = {300};
    // A service without a process has the id 0, which the platform refuses.
    EXPECT_EQ(run.kill({"300", "", "400"}), 1);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{Plinth::LWE(5).getMessage(), Plinth::LWE(87).getMessage()}));
    EXPECT_FALSE(run.platform.privilegeOn);
    EXPECT_FALSE(run.platform.open);
    EXPECT_EQ(std::count(run.platform.log.begin(), run.platform.log.end(), "wait 3000"), 1)
        << "no wait for a process that was not ended";
}

