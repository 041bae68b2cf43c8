// The main window's status and configuration queries.
#include "operations/win/ServiceQueries.h"
#include "tests/windows/support/TestServices.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class ServiceQueriesTest : public ServiceFixture {
protected:
    BusyCounter busy{nullptr};
    std::vector<std::string> statusLine;
    StatusLineWriter writer = [this](const std::string& text) { statusLine.push_back(text); };

    static ServiceEntry entryFor(const std::string& name) {
        ServiceEntry entry;
        entry.serviceName = name;
        return entry;
    }
    SERVICE_STATUS statusOf(const std::string& name) {
        SERVICE_STATUS status{};
        status.dwCurrentState = 99;
        status.dwControlsAccepted = 99;
        ServiceEntry entry = entryFor(name);
        queryStatusAndControls(busy, "", &entry, status, writer);
        return status;
    }
};

} // namespace

TEST_F(ServiceQueriesTest, OnlyARunningServiceReportsItsControlsAndFailuresGoToTheStatusLine) {
    std::string name = services.create({"--accept=stop,pause"});
    EXPECT_EQ(statusOf(name).dwControlsAccepted, 0u) << "stopped";
    ASSERT_TRUE(startService(name));
    ASSERT_TRUE(waitForState(name, SERVICE_RUNNING));
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
    ServiceEntry missing = entryFor("kvtest-no-such-service");
    EXPECT_EQ(queryConfig(busy, "", &missing, buffer, writer), nullptr);
    EXPECT_EQ(statusLine.size(), 2u);
}

TEST_F(ServiceQueriesTest, ConfigurationGrowsTheCallersBuffer) {
    std::string name = services.create({"--start-ms=" + std::string(300, '7'), "", "Shown name"});
    std::vector<BYTE> buffer(8);
    ServiceEntry entry = entryFor(name);
    const QUERY_SERVICE_CONFIGA* config = queryConfig(busy, "", &entry, buffer, writer);
    ASSERT_NE(config, nullptr) << (statusLine.empty() ? "" : statusLine[0]);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(config), buffer.data());
    EXPECT_STREQ(config->lpDisplayName, "Shown name");
    EXPECT_NE(std::string(config->lpBinaryPathName).find(std::string(300, '7')), std::string::npos);
    EXPECT_STREQ(queryConfig(busy, "", &entry, buffer, writer)->lpDisplayName, "Shown name");
}
