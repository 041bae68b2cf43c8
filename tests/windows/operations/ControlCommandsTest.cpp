// Start, stop, pause, continue and restart of selected services against
// Wine's own manager and the test service. Which services are asked and
// waited for, a wait the program's end abandons, and stopping with
// dependents are the native tests' business.
#include "operations/win/ControlCommands.h"
#include "operations/win/ScmStopPlatform.h"
#include "tests/windows/operations/CommandHarness.h"

#include "framework/Exception.h"

#include <algorithm>

using namespace kelvane;
using namespace kelvane::test;

namespace {

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

    std::string slow = services.create({"--start-ms=1500 --wait-hint=100"});
    host.select({slow});
    controlSelected(host, SERVICE_START, 0);
    EXPECT_EQ(host.status, "1 service has been started.");
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.busyUpdates, (std::vector<bool>{true, false}));
    EXPECT_GT(host.progressMessages(), 0) << "a pending service makes the list follow";
}

TEST_F(ControlCommandsTest, AStopThatEndsInACodeIsNamedAndOneStillPendingIsNeither) {
    std::string hanging = started("--accept=stop --hang-stop --wait-hint=200");
    std::string quick = started("--accept=stop --stop-ms=100");
    std::string coded = started("--accept=stop --specific-code=0x12345");
    int settled =
        controlServices(host, {hanging, quick, coded}, SERVICE_STOP, SERVICE_CONTROL_STOP, 1500);
    EXPECT_EQ(settled, 1);
    EXPECT_TRUE(anyWriteMentions(coded + ": Service specific error code: 9029"));
    EXPECT_FALSE(anyWriteMentions(hanging));
    EXPECT_EQ(queryStatus(hanging).dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
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
