// Stopping a service with running dependents, against a scripted manager
// whose clock moves only when the code sleeps.
#include "operations/StopWithDependents.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace kelvane;

namespace {

struct FakeService {
    std::string name;
    std::uint32_t state = serviceState::running;
    std::uint32_t waitHint = 500;
    int stopSteps = 2;  // status reads in stop pending before it is stopped
    bool hangs = false; // never leaves stop pending
    std::vector<std::string> dependents;
};

class ScriptedManager : public StopPlatform {
public:
    std::map<std::string, FakeService> services;
    std::vector<std::string> log;
    std::uint64_t now = 0;
    std::uint32_t enumerateError = 0;
    std::uint32_t openError = 0;
    int openHandles = 0;
    std::vector<std::uint32_t> pauses;
    bool quitting = false;

    Handle handleOf(const std::string& name) { return &services.at(name); }

    std::uint32_t queryStatus(Handle handle, ServiceStatus& status) override {
        auto& s = *static_cast<FakeService*>(handle);
        if (s.state == serviceState::stopPending && !s.hangs && --s.stopSteps <= 0) {
            s.state = serviceState::stopped;
        }
        status.currentState = s.state;
        status.waitHint = s.waitHint;
        return 0;
    }
    std::uint32_t activeDependents(Handle handle, std::vector<std::string>& names) override {
        if (enumerateError) {
            return enumerateError;
        }
        for (const std::string& name : static_cast<FakeService*>(handle)->dependents) {
            if (services.at(name).state != serviceState::stopped) {
                names.push_back(name);
            }
        }
        return 0;
    }
    std::uint32_t openDependent(const std::string& name, Handle& dependent) override {
        if (openError) {
            return openError;
        }
        ++openHandles;
        dependent = handleOf(name);
        return 0;
    }
    void close(Handle) override { --openHandles; }
    std::uint32_t sendStop(Handle handle) override {
        auto& s = *static_cast<FakeService*>(handle);
        log.push_back("stop " + s.name);
        s.state = serviceState::stopPending;
        return 0;
    }
    bool sleep(std::uint32_t ms) override {
        pauses.push_back(ms);
        now += ms;
        return !quitting;
    }
    std::uint64_t tickMs() override { return now; }

    void add(FakeService service) { services[service.name] = std::move(service); }
};

} // namespace

TEST(StopWithDependentsTest, StopsEachActiveDependentFirstInPlatformOrder) {
    ScriptedManager manager;
    manager.add({"db", serviceState::running, 500, 2, false, {"web", "idle", "cache"}});
    manager.add({"web"});
    manager.add({"idle", serviceState::stopped});
    manager.add({"cache", serviceState::running, 500, 2, false, {"nested"}});
    manager.add({"nested"});
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), true, 30000), 0u);
    EXPECT_EQ(manager.log, (std::vector<std::string>{"stop web", "stop cache", "stop db"}))
        << "stopped dependents are skipped and dependents of dependents are not followed";
    EXPECT_EQ(manager.openHandles, 0) << "every dependent handle is closed";
}

TEST(StopWithDependentsTest, PlatformFailuresComeBackAsTheirCodes) {
    ScriptedManager manager;
    manager.add({"db", serviceState::running, 500, 2, false, {"web"}});
    manager.add({"web"});
    manager.enumerateError = 5;
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), true, 30000), 5u);
    manager.enumerateError = 0;
    manager.openError = 1060;
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), true, 30000), 1060u);
    EXPECT_TRUE(manager.log.empty()) << "the service is not stopped when a dependent cannot be";

    manager.openError = 0;
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), false, 30000), 0u);
    EXPECT_EQ(manager.log, (std::vector<std::string>{"stop db"}))
        << "without dependents: one plain stop";
}

// The pauses around a hanging dependent and its deadline run against the real
// sleep in StopWithDependentsWinTest; a quitting application is scripted here.
TEST(StopWithDependentsTest, AQuittingApplicationStopsWaitingAtOnce) {
    ScriptedManager closing;
    closing.add({"db", serviceState::running, 500, 2, true});
    closing.quitting = true;
    EXPECT_EQ(stopWithDependents(closing, closing.handleOf("db"), false, 30000), errorCancelled);
    EXPECT_EQ(closing.pauses.size(), 1u);
}
