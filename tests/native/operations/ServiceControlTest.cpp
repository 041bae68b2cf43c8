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
    std::uint32_t openError = 0, startError = 0, controlError = 0;
    int waitResult = 1;
    std::string waitFailure; // raised by the wait when set
};

class ScriptedControl : public ControlPlatform {
public:
    std::map<std::string, ScriptedService> services;
    std::vector<std::string> log, lines;
    bool gone = false, goneAfterFirstWait = false;
    std::string current;

    int control(const std::vector<std::string>& names, std::uint32_t rights,
                std::uint32_t control) {
        return runControl(*this, names, rights, control, 5000,
                          [this](const std::string& text) { lines.push_back(text); });
    }
    static void raise(std::uint32_t error) {
        if (error) {
            throw Plinth::LWE(error);
        }
    }
    void openManager() override { log.push_back("manager"); }
    void openService(const std::string& name, std::uint32_t rights) override {
        log.push_back("open " + name + " " + std::to_string(rights));
        raise(services[name].openError);
        current = name;
    }
    void startService() override {
        log.push_back("start " + current);
        raise(services[current].startError);
    }
    std::uint32_t sendControl(std::uint32_t control) override {
        log.push_back("control " + current + " " + std::to_string(control));
        return services[current].controlError;
    }
    std::uint32_t stopWithDependents(const std::string& name, std::uint32_t,
                                     std::uint32_t) override {
        log.push_back("dependents " + name);
        return 0;
    }
    int waitForStableState(const std::string& name, std::uint32_t control,
                           std::uint32_t timeoutMs) override {
        log.push_back("wait " + name + " " + std::to_string(control) + " " +
                      std::to_string(timeoutMs));
        gone = gone || goneAfterFirstWait;
        if (!services[name].waitFailure.empty()) {
            throw Plinth::UserException(services[name].waitFailure);
        }
        return services[name].waitResult;
    }
    bool windowGone() override { return gone; }
    void release() override { log.push_back("release"); }
};

} // namespace

TEST(ServiceControlTest,
     EachServiceIsAskedInOrderOnlyAcceptedOnesAreAwaitedAndOnlyAStopTakesTheDependentsPath) {
    ScriptedControl run;
    run.services["b"].openError = 5;
    run.services["c"].startError = 1058;
    int settled = run.control({"a", "b", "c", "d"}, serviceRight::start, serviceControl::start);

    EXPECT_EQ(settled, 2);
    const std::vector<std::string> expected = {
        "manager", "open a 16", "start a", "open b 16",     "open c 16",
        "start c", "open d 16", "start d", "wait a 0 5000", "wait d 0 5000"};
    EXPECT_EQ(run.log, expected);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"b: " + Plinth::LWE(5).getMessage(),
                                                   "c: " + Plinth::LWE(1058).getMessage()}));

    // Only a stop takes the dependents path.
    ScriptedControl pause;
    pause.services["svc"].controlError = errorDependentServicesRunning;
    EXPECT_EQ(pause.control({"svc"}, serviceRight::pauseContinue, serviceControl::pause), 0);
    EXPECT_EQ(pause.log.size(), 3u) << "manager, open, control: no dependents";
    EXPECT_EQ(pause.lines, std::vector<std::string>{
                               "svc: " + Plinth::LWE(errorDependentServicesRunning).getMessage()});
}

TEST(ServiceControlTest, AnAbandonedWaitEndsAtOnceWithoutReporting) {
    ScriptedControl quit;
    quit.services["first"].waitResult = -1;
    quit.services["second"].waitFailure = "never read";
    EXPECT_EQ(quit.control({"first", "second"}, serviceRight::start, serviceControl::start), -1);
    EXPECT_EQ(quit.log.back(), "wait first 0 5000");
    EXPECT_TRUE(quit.lines.empty());

    ScriptedControl closed;
    closed.goneAfterFirstWait = true;
    closed.services["first"].waitFailure = "not for a closed window";
    EXPECT_EQ(closed.control({"first", "second"}, serviceRight::start, serviceControl::start), -1);
    EXPECT_TRUE(closed.lines.empty());
}
