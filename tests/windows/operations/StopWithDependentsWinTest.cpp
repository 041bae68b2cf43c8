// The real manager behind stopping with dependents. Wine lists no
// dependents (EnumDependentServices answers "none") and never refuses a stop
// with 1051, so the dependent rules are tested against a scripted manager in
// tests/native/operations; here the platform's calls run against Wine, with
// only the list of dependents handed in, and its pauses against a scripted
// dependent.
#include "operations/win/ScmStopPlatform.h"
#include "tests/windows/operations/CommandHarness.h"

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

class StopWithDependentsWinTest : public ServiceFixture {
protected:
    std::string started(const std::string& arguments) {
        return runningService(services, arguments);
    }
    std::uint32_t stop(const std::string& name, std::vector<std::string> dependents) {
        NamedDependents platform(manager.get(), std::move(dependents));
        Plinth::UniqueServiceHandle service(
            OpenServiceA(manager.get(), name.c_str(),
                         SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_ENUMERATE_DEPENDENTS));
        EXPECT_TRUE(service) << name;
        return stopWithDependents(platform, service.get(), true, 30000);
    }
    Plinth::UniqueServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
};

} // namespace

TEST_F(StopWithDependentsWinTest, RealServicesStopWithTheirDependentsOrRefuseWithTheirCode) {
    std::string main = started("--accept=stop --stop-ms=300 --wait-hint=100");
    std::string dependent = started("--accept=stop --stop-ms=100");
    EXPECT_EQ(stop(main, {dependent}), 0u);
    for (const std::string& name : {main, dependent}) {
        EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED)) << name;
    }
    EXPECT_EQ(stop(main, {}), 0u) << "a stopped service needs no request";
    std::string refusing = started("--accept=pause");
    EXPECT_EQ(stop(refusing, {}), static_cast<std::uint32_t>(ERROR_INVALID_SERVICE_CONTROL));
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

int ticks = 0;
void CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD) {
    ++ticks;
}

} // namespace

TEST_F(StopWithDependentsWinTest, TheWaitForADependentDispatchesAndKeepsItsDeadline) {
    HintScript script;
    ticks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, countTick);
    EXPECT_EQ(stopWithDependents(script, reinterpret_cast<StopPlatform::Handle>(1), true, 1500),
              errorTimeout);
    KillTimer(nullptr, timer);
    EXPECT_GT(ticks, 0) << "the window's messages are served while it waits";
    EXPECT_LE(script.longest, 2000u);
    EXPECT_LT(script.reads, 100) << "a wait hint of 0 still pauses between reads";
}
