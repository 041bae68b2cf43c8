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
    std::vector<std::string> dependents;
    bool hangs = false; // never leaves stop pending; others stop at the next read
};

class ScriptedManager : public StopPlatform {
public:
    std::map<std::string, FakeService> services;
    std::vector<std::string> log;
    std::uint32_t enumerateError = 0, openError = 0;
    int openHandles = 0, pauses = 0;
    bool quitting = false;

    Handle handleOf(const std::string& name) { return &services.at(name); }
    void add(FakeService service) { services[service.name] = std::move(service); }

    std::uint32_t queryStatus(Handle handle, ServiceStatus& status) override {
        auto& s = *static_cast<FakeService*>(handle);
        if (s.state == serviceState::stopPending && !s.hangs) {
            s.state = serviceState::stopped;
        }
        status.currentState = s.state;
        status.waitHint = 500;
        return 0;
    }
    std::uint32_t activeDependents(Handle handle, std::vector<std::string>& names) override {
        for (const std::string& name : static_cast<FakeService*>(handle)->dependents) {
            if (services.at(name).state != serviceState::stopped) {
                names.push_back(name);
            }
        }
        return enumerateError;
    }
    std::uint32_t openDependent(const std::string& name, Handle& dependent) override {
        openHandles += openError ? 0 : 1;
        dependent = handleOf(name);
        return openError;
    }
    void close(Handle) override { --openHandles; }
    std::uint32_t sendStop(Handle handle) override {
        auto& s = *static_cast<FakeService*>(handle);
        log.push_back("stop " + s.name);
        s.state = serviceState::stopPending;
        return 0;
    }
    bool sleep(std::uint32_t) override { return ++pauses, !quitting; }
    std::uint64_t tickMs() override { return pauses * 500u; }
};

} // namespace

TEST(StopWithDependentsTest, StopsEachActiveDependentFirstInPlatformOrder) {
    ScriptedManager manager;
    manager.add({"db", serviceState::running, {"web", "idle", "cache"}});
    manager.add({"web"});
    manager.add({"idle", serviceState::stopped});
    manager.add({"cache", serviceState::running, {"nested"}});
    manager.add({"nested"});
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), true, 30000), 0u);
    EXPECT_EQ(manager.log, (std::vector<std::string>{"stop web", "stop cache", "stop db"}))
        << "stopped dependents are skipped and dependents of dependents are not followed";
    EXPECT_EQ(manager.openHandles, 0) << "every dependent handle is closed";
}

// The length of each pause is the pending wait's rule (StableStateWait).
TEST(StopWithDependentsTest, PlatformFailuresComeBackAsTheirCodesAndAQuitEndsTheWait) {
    ScriptedManager manager;
    manager.add({"db", serviceState::running, {"web"}});
    manager.add({"web"});
    manager.enumerateError = 5;
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), true, 30000), 5u);
    manager.enumerateError = 0;
    manager.openError = 1060;
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), true, 30000), 1060u);
    EXPECT_TRUE(manager.log.empty()) << "the service is not stopped when a dependent cannot be";
    EXPECT_EQ(stopWithDependents(manager, manager.handleOf("db"), false, 30000), 0u);
    EXPECT_EQ(manager.log, (std::vector<std::string>{"stop db"}))
        << "without dependents: one plain stop";

    ScriptedManager hanging;
    hanging.add({"db", serviceState::running, {"stuck"}});
    hanging.add({"stuck", serviceState::running, {}, true});
    EXPECT_EQ(stopWithDependents(hanging, hanging.handleOf("db"), true, 3000), errorTimeout);
    EXPECT_EQ(hanging.log, (std::vector<std::string>{"stop stuck"}))
        << "the service is not stopped while its dependent hangs";
    EXPECT_EQ(hanging.openHandles, 0);
    EXPECT_EQ(hanging.pauses, 7) << "gives up at the first read past the deadline";

    ScriptedManager closing;
    closing.add({"db", serviceState::running, {}, true});
    closing.quitting = true;
    EXPECT_EQ(stopWithDependents(closing, closing.handleOf("db"), false, 30000), errorCancelled);
    EXPECT_EQ(closing.pauses, 1) << "a quitting application stops waiting at once";
}
