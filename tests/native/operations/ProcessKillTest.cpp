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

// Logs every call; unknown ids (and 0) cannot be opened, protected ones not ended.
class ScriptedProcesses : public KillPlatform {
public:
    std::set<std::uint32_t> running = {300, 400}, protectedOnes = {300};
    std::vector<std::string> log;
    std::uint32_t privilegeError = 0;

    std::uint32_t setDebugPrivilege(bool enable) override {
        log.push_back(enable ? "enable" : "disable");
        return enable ? privilegeError : 0;
    }
    std::uint32_t openProcess(std::uint32_t id) override {
        log.push_back("open " + std::to_string(id));
        current_ = id;
        return running.count(id) ? 0 : 87;
    }
    std::uint32_t terminateProcess() override {
        log.push_back("terminate");
        return protectedOnes.count(current_) ? 5 : 0;
    }
    void waitForEnd(std::uint32_t ms) override { log.push_back("wait " + std::to_string(ms)); }
    void closeProcess() override { log.push_back("close"); }

private:
    std::uint32_t current_ = 0;
};

} // namespace

// Each process ends within its own privilege window, and the handle is closed
// however the termination ends; a refused or impossible one (a service without
// a process has the id 0) is reported and not counted.
TEST(ProcessKillTest, EachProcessEndsWithinItsOwnPrivilegeWindowAndFailuresAreReported) {
    ScriptedProcesses platform;
    std::vector<std::string> lines;
    EXPECT_EQ(killProcesses(platform, {"300", "", "400"},
                            [&](const std::string& t) { lines.push_back(t); }),
              1);
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"enable", "open 300", "terminate", "close", "disable",
                                        "enable", "open 0", "disable", "enable", "open 400",
                                        "terminate", "wait 3000", "close", "disable"}));
    EXPECT_EQ(lines,
              (std::vector<std::string>{Plinth::LWE(5).getMessage(), Plinth::LWE(87).getMessage()}));

    platform.log.clear();
    platform.privilegeError = 1300;
    EXPECT_EQ(killProcesses(platform, {"400"}, [](const std::string&) {}), 0);
    EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "open 400"), 0)
        << "no process is touched without the privilege";
}
