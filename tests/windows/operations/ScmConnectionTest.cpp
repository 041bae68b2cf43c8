// The connection against Wine's own service control manager and the main
// window's status and configuration queries through it; what it creates and
// changes is read back in the parameters dialog's tests.
#include "operations/win/ScmConnection.h"
#include "operations/win/ServiceQueries.h"
#include "tests/windows/operations/CommandHarness.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

using ScmConnectionTest = ServiceFixture;

// A configuration read into the main window's empty buffer is its context
// menu test.
TEST_F(ScmConnectionTest,
       OverlappingRightsKeepTheOpenManagerAndOnlyARunningServiceReportsItsControls) {
    const std::string name = services.create({"--accept=stop,pause"});
    ScmConnection connection;
    // Wine's manager answers for any computer name: a database that does
    // not exist stands for a manager that cannot be reached.
    EXPECT_THROW(connection.openManager("", 5, "NoSuchDatabase"), Plinth::SDKException);
    EXPECT_EQ(connection.managerRights(), 0u);
    SC_HANDLE first = connection.openManager("", 5);
    ASSERT_NE(first, nullptr) << "the failed open is not taken for an open one";
    EXPECT_EQ(connection.openManager("", 4), nullptr);
    SC_HANDLE service = connection.openService(name, SERVICE_QUERY_STATUS);
    EXPECT_EQ(connection.manager(), first);

    SC_HANDLE reopened = connection.openManager("", 2);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(connection.manager(), reopened);
    EXPECT_EQ(connection.managerRights(), 7u);
    SERVICE_STATUS status{};
    EXPECT_TRUE(QueryServiceStatus(service, &status)) << "the service outlives the old manager";

    BusyCounter busy{nullptr};
    std::vector<std::string> statusLine;
    StatusLineWriter writer = [&](const std::string& text) { statusLine.push_back(text); };
    const auto statusOf = [&](const std::string& serviceName) {
        SERVICE_STATUS read{99, 99, 99, 99, 99, 99, 99};
        const ServiceEntry entry = TestCommandHost::entryOf(serviceName);
        queryStatusAndControls(busy, "", &entry, read, writer);
        return read;
    };
    EXPECT_EQ(statusOf(name).dwControlsAccepted, 0u) << "stopped";
    ASSERT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING));
    EXPECT_EQ(statusOf(name).dwControlsAccepted,
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
