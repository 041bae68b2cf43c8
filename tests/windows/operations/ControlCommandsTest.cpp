// Start, stop, pause, continue and restart of selected services against
// Wine's own manager and the test service. Which services are asked and
// waited for, the order of stopping with dependents and the pauses between
// reads are the native tests' business. Wine lists no dependents
// (EnumDependentServices answers "none") and never refuses a stop with 1051,
// so the stop with dependents is called with them handed in.
#include "operations/win/ControlCommands.h"
#include "operations/win/ScmStopPlatform.h"
#include "tests/windows/operations/CommandHarness.h"

#include "framework/Exception.h"
#include "framework/win/UniqueHandle.h"

#include <algorithm>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Wine's manager with the dependents named here, as a real one would list them.
class NamedDependents : public ScmStopPlatform {
public:
    NamedDependents(SC_HANDLE manager, std::vector<std::string> names)
        : ScmStopPlatform(manager), names_(std::move(names)) {}
    std::uint32_t activeDependents(Handle, std::vector<std::string>& names) override {
        std::copy_if(names_.begin(), names_.end(), std::back_inserter(names),
                     [](const std::string& name) {
                         return kelvane::test::queryStatus(name).dwCurrentState != SERVICE_STOPPED;
                     });
        return 0;
    }

private:
    std::vector<std::string> names_;
};

class ControlCommandsTest : public ServiceFixture {
protected:
    TestCommandHost host;

    bool anyWriteMentions(const std::string& text) const {
        return std::any_of(
            host.statusWrites.begin(), host.statusWrites.end(),
            [&](const std::string& write) { return write.find(text) != std::string::npos; });
    }
    std::string started(const std::string& arguments) {
        return runningService(services, arguments);
    }
};

} // namespace

// The summary and failures as the window shows them are the main window's test.
TEST_F(ControlCommandsTest, AStartHoldsTheButtonsAndLetsTheListFollowAPendingService) {
    controlSelected(host, SERVICE_START, 0);
    EXPECT_TRUE(host.statusWrites.empty() && host.busyUpdates.empty()) << "nothing selected";

    host.select({services.create({"--start-ms=1500 --wait-hint=100"})});
    controlSelected(host, SERVICE_START, 0);
    EXPECT_EQ(host.status, "1 service has been started.");
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.busyUpdates, (std::vector<bool>{true, false}));
    EXPECT_GT(TestCommandHost::dispatchedProgress(), 0) << "dispatched while the start waits";
}

TEST_F(ControlCommandsTest, AStopEndsWithTheDependentsAndNamesACodeButNotOneStillPending) {
    std::string main = started("--accept=stop --stop-ms=300 --wait-hint=100");
    std::string dependent = started("--accept=stop --stop-ms=100");
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service(
        OpenServiceA(manager.get(), main.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS));
    NamedDependents platform(manager.get(), {dependent});
    EXPECT_EQ(stopWithDependents(platform, service.get(), true, 30000), 0u);
    for (const std::string& name : {main, dependent}) {
        EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED)) << name;
    }

    std::string hanging = started("--accept=stop --hang-stop --wait-hint=200");
    std::string coded = started("--accept=stop --specific-code=0x12345");
    EXPECT_EQ(controlServices(host, {hanging, coded}, SERVICE_STOP, SERVICE_CONTROL_STOP, 1500), 0);
    EXPECT_TRUE(anyWriteMentions(coded + ": Service specific error code: 9029"));
    EXPECT_FALSE(anyWriteMentions(hanging));
    EXPECT_EQ(queryStatus(hanging).dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
}

namespace {

// The real pauses (ScmStopPlatform's) around a scripted dependent that never
// leaves stop pending and names wait hints of 0 and of ten minutes.
class HintScript : public ScmStopPlatform {
public:
    HintScript() : ScmStopPlatform(nullptr) {}
    std::uint32_t queryStatus(Handle service, ServiceStatus& status) override {
        status.currentState =
            service == dependent ? serviceState::stopPending : serviceState::running;
        status.waitHint = ++reads % 2 ? 0 : 600000;
        return 0;
    }
    std::uint32_t activeDependents(Handle, std::vector<std::string>& names) override {
        names = {"dependent"};
        return 0;
    }
    std::uint32_t openDependent(const std::string&, Handle& handle) override {
        handle = dependent;
        return 0;
    }
    void close(Handle) override {}
    std::uint32_t sendStop(Handle) override { return 0; }
    bool sleep(std::uint32_t ms) override {
        longest = std::max(longest, ms);
        // Ten minutes would hold the test; the pause asked for is what counts.
        return ms > 2000 ? true : ScmStopPlatform::sleep(ms);
    }

    Handle dependent = reinterpret_cast<Handle>(2);
    int reads = 0;
    std::uint32_t longest = 0;
};

} // namespace

TEST_F(ControlCommandsTest, TheWaitForADependentDispatchesAndKeepsItsDeadline) {
    HintScript script;
    PostMessageA(host.window(), WM_APP, 0, 0);
    EXPECT_EQ(stopWithDependents(script, reinterpret_cast<StopPlatform::Handle>(1), true, 1500),
              errorTimeout);
    EXPECT_EQ(TestCommandHost::dispatchedProgress(), 1) << "the window is served while it waits";
    EXPECT_LE(script.longest, 2000u);
    EXPECT_LT(script.reads, 100) << "a wait hint of 0 still pauses between reads";
}

TEST_F(ControlCommandsTest, ARestartOfAServiceThatTakesNoParameterChangeIsRefused) {
    std::string name = started("--accept=stop,paramchange");
    std::string plain = started("--accept=stop,pause");
    host.select({name, plain});
    controlSelected(host, SERVICE_PAUSE_CONTINUE, SERVICE_CONTROL_PARAMCHANGE);
    EXPECT_EQ(host.status, "1 service has been restarted.\r\n" + plain + ": " +
                               Plinth::LWE(ERROR_INVALID_SERVICE_CONTROL).getMessage());
}

namespace {

// A manager that cannot be opened: Wine answers for any computer name, so a
// database that does not exist stands for an unreachable one.
class UnreachableManager : public ScmControlPlatform {
public:
    UnreachableManager() : ScmControlPlatform("", nullptr) {}
    void openManager() override { connection().openManager("", 5, "NoSuchDatabase"); }
};

} // namespace

TEST_F(ControlCommandsTest, AManagerThatCannotBeOpenedEndsWithRefreshAndNoBusyWindow) {
    std::string name = services.create();
    UnreachableManager platform;
    EXPECT_EQ(controlServices(host, platform, {name}, SERVICE_START, 0), 0);
    ASSERT_GE(host.statusWrites.size(), 2u);
    EXPECT_FALSE(host.statusWrites[1].empty()) << "the manager's failure is shown";
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_FALSE(host.busy.busy());
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
}
