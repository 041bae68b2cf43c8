// The real manager behind stopping with dependents. Wine lists no
// dependents (EnumDependentServices answers "none") and never refuses a stop
// with 1051, so the dependent rules are tested against a scripted manager in
// tests/native/operations; here the platform side runs against Wine, and the
// platform's pauses against a scripted dependent.
#include "operations/win/ScmStopPlatform.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/UniqueHandle.h"

#include <algorithm>

using namespace kelvane;
using namespace kelvane::test;

namespace {

Plinth::UniqueServiceHandle openForStop(SC_HANDLE manager, const std::string& name) {
    return Plinth::UniqueServiceHandle(OpenServiceA(
        manager, name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_ENUMERATE_DEPENDENTS));
}

} // namespace

TEST_F(ServiceFixture, StopsARunningServiceThroughThePlatform) {
    std::string name = services.create({"--accept=stop --stop-ms=300 --wait-hint=100"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service = openForStop(manager.get(), name);
    ASSERT_TRUE(service);
    ScmStopPlatform platform(manager.get());
    EXPECT_EQ(stopWithDependents(platform, service.get(), true, 30000), 0u);
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    // A second call finds it stopped and sends nothing.
    EXPECT_EQ(stopWithDependents(platform, service.get(), true, 30000), 0u);
}

TEST_F(ServiceFixture, AServiceThatHangsInStopPendingTimesOut) {
    std::string name = services.create({"--accept=stop --hang-stop --wait-hint=200"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service = openForStop(manager.get(), name);
    ScmStopPlatform platform(manager.get());
    EXPECT_EQ(stopWithDependents(platform, service.get(), false, 1000), errorTimeout);
}

TEST_F(ServiceFixture, ARefusedStopComesBackAsItsCode) {
    std::string name = services.create({"--accept=pause"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service = openForStop(manager.get(), name);
    ScmStopPlatform platform(manager.get());
    EXPECT_EQ(stopWithDependents(platform, service.get(), true, 30000),
              static_cast<std::uint32_t>(ERROR_INVALID_SERVICE_CONTROL));
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

TEST(StopWithDependentsWinTest, TheWaitForADependentDispatchesAndKeepsItsDeadline) {
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
