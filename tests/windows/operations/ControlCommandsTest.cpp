// The main window's command ids, and start, stop, pause, continue and
// restart of selected services, against Wine's own manager and the test
// service. Which services are asked and waited for, the order of stopping
// with dependents and the pauses between reads, wait hints of 0 and ten
// minutes among them, are the native tests' business. Wine lists no
// dependents (EnumDependentServices answers "none") and never refuses a stop
// with 1051, so the stop with dependents is called with them handed in.
// The connection those commands share, and the status queries through it.
#include "operations/win/ControlCommands.h"
#include "operations/win/OperationCommands.h"
#include "operations/win/ScmConnection.h"
#include "operations/win/ScmStopPlatform.h"
#include "operations/win/ServiceQueries.h"
#include "resources/ResourceIds.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Wine's manager with a dependent handed in, as a real one would list it.
struct OneDependent : ScmStopPlatform {
    using ScmStopPlatform::ScmStopPlatform;
    std::uint32_t activeDependents(Handle, std::vector<std::string>& names) override {
        names = {name};
        return 0;
    }
    std::string name;
};

// A manager that cannot be opened: Wine answers for any computer name, so a
// database that does not exist stands for an unreachable one.
class UnreachableManager : public ScmControlPlatform {
public:
    UnreachableManager() : ScmControlPlatform("", nullptr) {}
    void openManager() override { connection().openManager("", 5, "NoSuchDatabase"); }
};

class ControlCommandsTest : public ServiceFixture {
protected:
    TestCommandHost host;
};
using ScmConnectionTest = ServiceFixture;

} // namespace

// The summary and failures as the window shows them are the main window's test.
TEST_F(ControlCommandsTest, CommandIdsReachTheirOperationsAndAStartHoldsTheButtonsWhileItWaits) {
    const std::string name =
        services.create({"--start-ms=1500 --wait-hint=100 --accept=stop,pause,paramchange"});
    host.select({name});
    EXPECT_TRUE(runOperationCommand(host, IDC_START));
    EXPECT_EQ(host.status, "1 service has been started.");
    EXPECT_EQ(host.busyUpdates, (std::vector<bool>{true, false}));
    EXPECT_GT(TestCommandHost::dispatchedProgress, 0) << "dispatched while the start waits";

    UnreachableManager unreachable;
    EXPECT_EQ(controlServices(host, unreachable, {name}, SERVICE_START, 0), 0);
    EXPECT_NE(host.status.find("\r\n"), std::string::npos) << "the manager's failure is shown";
    EXPECT_EQ(host.refreshes, 2) << "after the start and a manager that cannot be opened";
    EXPECT_FALSE(host.busy.busy());

    AnsweredBoxes boxes(IDYES);
    const auto before = serviceValues(name);
    EXPECT_TRUE(runOperationCommand(host, ID_START_TYPE_AUTOMATIC));
    auto after = serviceValues(name);
    EXPECT_EQ(after["Start"], "0x2");
    after["Start"] = before.at("Start");
    EXPECT_EQ(after, before) << "a start type change touches only Start";
    const std::pair<int, const char*> commands[] = {
        {IDC_PAUSE, "1 service has been paused."},
        {IDC_CONTINUE, "1 service has been continued."},
        {IDC_RESTART, "1 service has been restarted."},
        {IDC_STOP, "1 service has been controlled."},
        {IDC_REMOVE, "There were removed 1 services or drivers."}};
    for (const auto& [id, status] : commands) {
        EXPECT_TRUE(runOperationCommand(host, id));
        EXPECT_EQ(host.status, status) << id;
    }
    EXPECT_FALSE(runOperationCommand(host, IDC_REFRESH));
}

TEST_F(ControlCommandsTest, AStopEndsWithTheDependentsAndNamesACodeButNotOneStillPending) {
    std::string main = runningService(services, "--accept=stop --stop-ms=300 --wait-hint=100");
    std::string dependent = runningService(services, "--accept=stop --stop-ms=100");
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Plinth::UniqueServiceHandle service(
        OpenServiceA(manager.get(), main.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS));
    OneDependent platform(manager.get());
    platform.name = dependent;
    PostMessageA(host.window(), WM_APP, 0, 0);
    EXPECT_EQ(stopWithDependents(platform, service.get(), true, 30000), 0u);
    EXPECT_EQ(TestCommandHost::dispatchedProgress, 1) << "the window is served while it waits";
    for (const std::string& name : {main, dependent}) {
        EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED)) << name;
    }

    std::string hanging = runningService(services, "--accept=stop --hang-stop --wait-hint=200");
    std::string coded = runningService(services, "--accept=stop --specific-code=0x12345");
    EXPECT_EQ(controlServices(host, {hanging, coded}, SERVICE_STOP, SERVICE_CONTROL_STOP, 1500), 0);
    EXPECT_NE(host.status.find(coded + ": Service specific error code: 9029"), std::string::npos);
    EXPECT_EQ(host.status.find(hanging), std::string::npos) << host.status;
    EXPECT_EQ(queryStatus(hanging).dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
}

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
