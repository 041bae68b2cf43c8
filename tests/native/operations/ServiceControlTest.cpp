// The control commands' steps against a scripted manager: which services
// are asked and waited for, and the cases Wine's manager cannot make (a
// window that goes during the wait). The rest runs against Wine in
// tests/windows/operations/ControlCommandsTest.cpp.
#include "operations/ServiceControl.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace kelvane;

namespace {

struct ScriptedService {
    std::uint32_t openError = 0;
    std::uint32_t startError = 0;
    std::uint32_t controlError = 0;
    int waitResult = 1;
    std::string waitFailure; // raised by the wait when set
};

class ScriptedControl : public ControlPlatform {
public:
    std::map<std::string, ScriptedService> services;
    std::vector<std::string> log;
    bool gone = false;
    bool goneAfterFirstWait = false;
    std::string current;

    void openManager() override { log.push_back("manager"); }
    void openService(const std::string& name, std::uint32_t rights) override {
        log.push_back("open " + name + " " + std::to_string(rights));
        if (std::uint32_t error = services[name].openError) {
            throw Plinth::LWE(error);
        }
        current = name;
    }
    void startService() override {
        log.push_back("start " + current);
        if (std::uint32_t error = services[current].startError) {
            throw Plinth::LWE(error);
        }
    }
    std::uint32_t sendControl(std::uint32_t control) override {
        log.push_back("control " + current + " " + std::to_string(control));
        return services[current].controlError;
    }
    std::uint32_t stopWithDependents(const std::string& name, std::uint32_t rights,
                                     std::uint32_t timeoutMs) override {
        log.push_back("dependents " + name + " " + std::to_string(rights) + " " +
                      std::to_string(timeoutMs));
        return 0;
    }
    int waitForStableState(const std::string& name, std::uint32_t control,
                           std::uint32_t timeoutMs) override {
        log.push_back("wait " + name + " " + std::to_string(control) + " " +
                      std::to_string(timeoutMs));
        if (goneAfterFirstWait) {
            gone = true;
        }
        const ScriptedService& service = services[name];
        if (!service.waitFailure.empty()) {
            throw Plinth::UserException(service.waitFailure);
        }
        return service.waitResult;
    }
    bool windowGone() override { return gone; }
    void release() override { log.push_back("release"); }
};

struct ControlRun {
    ScriptedControl platform;
    std::vector<std::string> lines;
    StatusWriter writer() {
        return [this](const std::string& text) { lines.push_back(text); };
    }
    int control(const std::vector<std::string>& names, std::uint32_t rights,
                std::uint32_t control) {
        return runControl(platform, names, rights, control, 5000, writer());
    }
};

} // namespace

TEST(ServiceControlTest, EachServiceIsAskedInOrderAndOnlyAcceptedOnesAreAwaited) {
    ControlRun run;
    run.platform.services["b"].openError = 5;
    run.platform.services["c"].startError = 1058;
    int settled = run.control({"a", "b", "c", "d"}, serviceRight::start, serviceControl::start);

    EXPECT_EQ(settled, 2);
    const std::vector<std::string> expected = {
        "manager", "open a 16", "start a", "open b 16",     "open c 16",
        "start c", "open d 16", "start d", "wait a 0 5000", "wait d 0 5000"};
    EXPECT_EQ(run.platform.log, expected);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"b: " + Plinth::LWE(5).getMessage(),
                                                   "c: " + Plinth::LWE(1058).getMessage()}));
}

TEST(ServiceControlTest, OnlyAStopTakesTheDependentsPath) {
    ControlRun run;
    run.platform.services["svc"].controlError = errorDependentServicesRunning;
    EXPECT_EQ(run.control({"svc"}, serviceRight::pauseContinue, serviceControl::pause), 0);
    EXPECT_EQ(run.platform.log.size(), 3u) << "manager, open, control: no dependents";
    EXPECT_EQ(run.lines, std::vector<std::string>{
                             "svc: " + Plinth::LWE(errorDependentServicesRunning).getMessage()});
}

TEST(ServiceControlTest, AnAbandonedWaitEndsAtOnceWithoutReporting) {
    ControlRun quit;
    quit.platform.services["first"].waitResult = -1;
    quit.platform.services["second"].waitFailure = "never read";
    EXPECT_EQ(quit.control({"first", "second"}, serviceRight::start, serviceControl::start), -1);
    EXPECT_EQ(quit.platform.log.back(), "wait first 0 5000");
    EXPECT_TRUE(quit.lines.empty());

    ControlRun closed;
    closed.platform.goneAfterFirstWait = true;
    closed.platform.services["first"].waitFailure = "not for a closed window";
    EXPECT_EQ(closed.control({"first", "second"}, serviceRight::start, serviceControl::start), -1);
    EXPECT_TRUE(closed.lines.empty());
}
