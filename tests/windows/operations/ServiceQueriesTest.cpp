// The main window's status and configuration queries against Wine's
// manager; a configuration read into the window's empty buffer is the main
// window's context menu test.
#include "operations/win/ServiceQueries.h"
#include "tests/windows/operations/CommandHarness.h"

using namespace kelvane;
using namespace kelvane::test;

using ServiceQueriesTest = ServiceFixture;

TEST_F(ServiceQueriesTest, OnlyARunningServiceReportsItsControlsAndFailuresGoToTheStatusLine) {
    BusyCounter busy{nullptr};
    std::vector<std::string> statusLine;
    StatusLineWriter writer = [&](const std::string& text) { statusLine.push_back(text); };
    const auto statusOf = [&](const std::string& name) {
        SERVICE_STATUS status{99, 99, 99, 99, 99, 99, 99};
        const ServiceEntry entry = TestCommandHost::entryOf(name);
        queryStatusAndControls(busy, "", &entry, status, writer);
        return status;
    };
    std::string name = services.create({"--accept=stop,pause"});
    EXPECT_EQ(statusOf(name).dwControlsAccepted, 0u) << "stopped";
    ASSERT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING));
    SERVICE_STATUS status = statusOf(name);
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(status.dwControlsAccepted,
              static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE));
    busy.beginBusy();
    EXPECT_EQ(statusOf(name).dwCurrentState, 0u) << "a busy window asks nothing";
    busy.endBusy();
    EXPECT_TRUE(statusLine.empty());

    EXPECT_EQ(statusOf("kvtest-no-such-service").dwCurrentState, 0u);
    std::vector<BYTE> buffer;
    const ServiceEntry missing = TestCommandHost::entryOf("kvtest-no-such-service");
    EXPECT_EQ(queryConfig(busy, "", &missing, buffer, writer), nullptr);
    EXPECT_EQ(statusLine.size(), 2u);
}
