// The test service itself, driven through the real service control manager:
// the other Windows tests rely on it behaving as its arguments say.
#include "tests/windows/support/TestServices.h"

#include "framework/win/UniqueHandle.h"

using namespace kelvane::test;

TEST_F(ServiceFixture, StartsPausesContinuesAndStops) {
    std::string name = services.create({"--accept=stop,pause"});
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    ASSERT_TRUE(startService(name)) << GetLastError();
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    SERVICE_STATUS_PROCESS running = queryStatus(name);
    EXPECT_NE(running.dwProcessId, 0u);
    EXPECT_EQ(running.dwControlsAccepted,
              static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE));

    EXPECT_TRUE(controlService(name, SERVICE_CONTROL_INTERROGATE));
    ASSERT_TRUE(controlService(name, SERVICE_CONTROL_PAUSE));
    EXPECT_TRUE(waitForState(name, SERVICE_PAUSED));
    ASSERT_TRUE(controlService(name, SERVICE_CONTROL_CONTINUE));
    EXPECT_TRUE(waitForState(name, SERVICE_RUNNING));
    ASSERT_TRUE(controlService(name, SERVICE_CONTROL_STOP));
    EXPECT_TRUE(waitForState(name, SERVICE_STOPPED));
    EXPECT_EQ(queryStatus(name).dwProcessId, 0u);
}

TEST_F(ServiceFixture, RefusesControlsItDoesNotAccept) {
    std::string name = services.create({"--accept=stop"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    EXPECT_FALSE(controlService(name, SERVICE_CONTROL_PAUSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_SERVICE_CONTROL));
}

TEST_F(ServiceFixture, ReportsAServiceSpecificCodeOnStop) {
    std::string name = services.create({"--specific-code=0x12345"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    ASSERT_TRUE(controlService(name, SERVICE_CONTROL_STOP));
    ASSERT_TRUE(waitForState(name, SERVICE_STOPPED));
    SERVICE_STATUS_PROCESS status = queryStatus(name);
    EXPECT_EQ(status.dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR));
    EXPECT_EQ(status.dwServiceSpecificExitCode, 0x12345u);
}

TEST_F(ServiceFixture, StaysPendingWithItsWaitHint) {
    std::string name = services.create({"--start-ms=600 --wait-hint=30000"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_START_PENDING, 2000));
    SERVICE_STATUS_PROCESS pending = queryStatus(name);
    EXPECT_EQ(pending.dwWaitHint, 30000u);
    EXPECT_GT(pending.dwCheckPoint, 0u);
    EXPECT_TRUE(waitForState(name, SERVICE_RUNNING));
}

TEST_F(ServiceFixture, HangsInStopPendingUntilItsProcessEnds) {
    std::string name = services.create({"--hang-stop"});
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    ASSERT_TRUE(controlService(name, SERVICE_CONTROL_STOP));
    EXPECT_TRUE(waitForState(name, SERVICE_STOP_PENDING));
    EXPECT_FALSE(waitForState(name, SERVICE_STOPPED, 600));
    // The fixture's clean-up ends the process and deletes the service.
}

TEST_F(ServiceFixture, FailsToStartWhenAskedTo) {
    std::string name = services.create({"--fail-start --exit-code=1064"});
    startService(name);
    EXPECT_TRUE(waitForState(name, SERVICE_STOPPED));
}

TEST(TestServicesOwner, DeletesItsServicesAlsoWhenRunning) {
    std::string name;
    {
        TestServices owner;
        name = owner.create({"--stop-ms=200"});
        ASSERT_TRUE(startService(name));
        ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
    }
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_STATUS));
    EXPECT_FALSE(service) << name << " still exists";
}
