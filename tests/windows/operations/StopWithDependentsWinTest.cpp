// The real manager behind stopping with dependents. Wine lists no
// dependents (EnumDependentServices answers "none") and never refuses a stop
// with 1051, so the dependent rules are tested against a scripted manager in
// tests/native/operations; here the platform side runs against Wine.
#include "operations/win/ScmStopPlatform.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/UniqueHandle.h"

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
