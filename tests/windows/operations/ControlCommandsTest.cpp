// Start, stop, pause, continue and restart of selected services against
// Wine's own manager and the test service. Stopping with dependents goes
// through a stand-in that lists the dependents (Wine lists none) and refuses
// the first stop with 1051 (Wine never does); everything else is real.
#include "operations/ActionAvailability.h"
#include "operations/win/ControlCommands.h"
#include "operations/win/ScmStopPlatform.h"
#include "operations/win/ServiceQueries.h"
#include "tests/windows/operations/CommandHarness.h"

#include "framework/Exception.h"

#include <algorithm>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class ControlCommandsTest : public ServiceFixture {
protected:
    TestCommandHost host;

    bool wrote(const std::string& text) const {
        return std::find(host.statusWrites.begin(), host.statusWrites.end(), text) !=
               host.statusWrites.end();
    }
    bool anyWriteMentions(const std::string& name) const {
        return std::any_of(
            host.statusWrites.begin(), host.statusWrites.end(),
            [&](const std::string& text) { return text.find(name) != std::string::npos; });
    }
    std::string started(const std::string& arguments = "--accept=stop") {
        std::string name = services.create({arguments});
        EXPECT_TRUE(startService(name));
        EXPECT_TRUE(waitForState(name, SERVICE_RUNNING));
        return name;
    }
    ActionButtons actionsFor(const std::string& name) {
        ServiceEntry entry = entryOf(name);
        SERVICE_STATUS raw{};
        queryStatusAndControls(host.busy, "", &entry, raw, {});
        ServiceCapabilities service;
        service.state = raw.dwCurrentState;
        service.controls = raw.dwControlsAccepted;
        service.startType = SERVICE_DEMAND_START;
        return actionButtonsFor(true, host.busy.busy(), service);
    }
};

} // namespace

TEST_F(ControlCommandsTest, StartingThreeOfWhichOneCannotStartCountsTwo) {
    std::string first = services.create({"--start-ms=1500 --wait-hint=100"});
    std::string broken = services.create({"", "C:\\kelvane\\no-such-service.exe"});
    std::string third = services.create({"--start-ms=100"});
    host.select({first, broken, third});

    controlSelected(host, SERVICE_START, 0);

    ASSERT_GE(host.statusWrites.size(), 3u);
    EXPECT_EQ(host.statusWrites[0], "") << "the command starts with a clear line";
    EXPECT_EQ(host.statusWrites[1].rfind(broken + ": ", 0), 0u) << host.statusWrites[1];
    EXPECT_GT(host.statusWrites[1].size(), broken.size() + 2) << "the platform's text follows";
    EXPECT_EQ(host.status, "2 services have been started.\r\n" + host.statusWrites[1])
        << "the summary goes above the failure, which stays";
    EXPECT_EQ(queryStatus(first).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(queryStatus(third).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.busyUpdates, (std::vector<bool>{true, false}));
    EXPECT_FALSE(host.busy.busy());
    EXPECT_GT(host.progressMessages(), 0) << "a pending service makes the list follow";
}

TEST_F(ControlCommandsTest, OneServiceGetsTheOneServiceText) {
    std::string name = services.create();
    host.select({name});
    controlSelected(host, SERVICE_START, 0);
    EXPECT_EQ(host.status, "1 service has been started.");
}

TEST_F(ControlCommandsTest, NothingSelectedDoesNothing) {
    controlSelected(host, SERVICE_START, 0);
    controlSelected(host, SERVICE_STOP, SERVICE_CONTROL_STOP);
    EXPECT_TRUE(host.statusWrites.empty());
    EXPECT_TRUE(host.busyUpdates.empty());
    EXPECT_EQ(host.refreshes, 0);
}

TEST_F(ControlCommandsTest, AServiceSpecificCodeOnStopIsNamedAndNotCounted) {
    std::string name = started("--accept=stop --specific-code=0x12345");
    host.select({name});
    controlSelected(host, SERVICE_STOP, SERVICE_CONTROL_STOP);
    EXPECT_EQ(host.status, "0 services have been controlled.\r\n" + name +
                               ": Service specific error code: 9029");
}

TEST_F(ControlCommandsTest, AServiceStillStopPendingAfterTheDeadlineIsNeitherCountedNorNamed) {
    std::string hanging = started("--accept=stop --hang-stop --wait-hint=200");
    std::string quick = started("--accept=stop --stop-ms=100");
    int settled = controlServices(host, {hanging, quick}, SERVICE_STOP, SERVICE_CONTROL_STOP, 1500);
    EXPECT_EQ(settled, 1);
    EXPECT_FALSE(anyWriteMentions(hanging));
    EXPECT_EQ(queryStatus(hanging).dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
}

TEST_F(ControlCommandsTest, PauseContinueAndRestartWithTheButtonsTheyAllow) {
    std::string name = started("--accept=stop,pause,paramchange --pause-ms=200 --continue-ms=200");
    std::string plain = started("--accept=stop,pause");
    host.select({name});

    ActionButtons running = actionsFor(name);
    EXPECT_TRUE(running.stop && running.pause && running.restart);
    EXPECT_FALSE(running.resume || running.start);
    ActionButtons noRestart = actionsFor(plain);
    EXPECT_TRUE(noRestart.stop && noRestart.pause);
    EXPECT_FALSE(noRestart.restart) << "no parameter change accepted";

    controlSelected(host, SERVICE_PAUSE_CONTINUE, SERVICE_CONTROL_PAUSE);
    EXPECT_EQ(host.status, "1 service has been paused.");
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_PAUSED));
    ActionButtons paused = actionsFor(name);
    EXPECT_TRUE(paused.resume && paused.stop);
    EXPECT_FALSE(paused.pause || paused.restart);

    controlSelected(host, SERVICE_PAUSE_CONTINUE, SERVICE_CONTROL_CONTINUE);
    EXPECT_EQ(host.status, "1 service has been continued.");
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));

    host.select({name, plain});
    controlSelected(host, SERVICE_PAUSE_CONTINUE, SERVICE_CONTROL_PARAMCHANGE);
    EXPECT_EQ(host.status, "1 service has been restarted.\r\n" + plain + ": " +
                               Plinth::LWE(ERROR_INVALID_SERVICE_CONTROL).getMessage());
}

namespace {

// The manager with a stand-in for what Wine's cannot do: the stop of one
// service is refused with 1051, and its dependents are the ones named here.
class DependentsStandIn : public ScmControlPlatform {
public:
    DependentsStandIn(std::string refusing, std::vector<std::string> dependents)
        : ScmControlPlatform("", nullptr, true), refusing_(std::move(refusing)),
          dependents_(std::move(dependents)) {}

    void openService(const std::string& name, std::uint32_t rights) override {
        current_ = name;
        ScmControlPlatform::openService(name, rights);
    }
    std::uint32_t sendControl(std::uint32_t control) override {
        if (current_ == refusing_ && control == SERVICE_CONTROL_STOP) {
            return ERROR_DEPENDENT_SERVICES_RUNNING;
        }
        return ScmControlPlatform::sendControl(control);
    }
    std::vector<std::string> stops; // in the order the stop requests went out

protected:
    std::unique_ptr<StopPlatform> stopPlatform(SC_HANDLE manager) override {
        return std::make_unique<Listing>(manager, *this);
    }

private:
    class Listing : public ScmStopPlatform {
    public:
        Listing(SC_HANDLE manager, DependentsStandIn& owner)
            : ScmStopPlatform(manager), owner_(owner) {}
        std::uint32_t activeDependents(Handle, std::vector<std::string>& names) override {
            for (const std::string& name : owner_.dependents_) {
                if (kelvane::test::queryStatus(name).dwCurrentState != SERVICE_STOPPED) {
                    names.push_back(name);
                }
            }
            return 0;
        }
        std::uint32_t openDependent(const std::string& name, Handle& dependent) override {
            std::uint32_t error = ScmStopPlatform::openDependent(name, dependent);
            names_[dependent] = name;
            return error;
        }
        std::uint32_t sendStop(Handle service) override {
            auto known = names_.find(service);
            owner_.stops.push_back(known == names_.end() ? owner_.refusing_ : known->second);
            return ScmStopPlatform::sendStop(service);
        }

    private:
        DependentsStandIn& owner_;
        std::map<Handle, std::string> names_;
    };

    std::string refusing_, current_;
    std::vector<std::string> dependents_;
};

} // namespace

TEST_F(ControlCommandsTest, DependentsAreStoppedFirstInThePlatformsOrder) {
    std::string main = started("--accept=stop --stop-ms=100");
    std::string early = started("--accept=stop --stop-ms=100");
    std::string late = started("--accept=stop");
    DependentsStandIn platform(main, {late, early});

    int settled = controlServices(host, platform, {main}, SERVICE_STOP, SERVICE_CONTROL_STOP);

    EXPECT_EQ(settled, 1);
    EXPECT_EQ(platform.stops, (std::vector<std::string>{late, early, main}));
    for (const std::string& name : {main, early, late}) {
        EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED)) << name;
    }
}

TEST_F(ControlCommandsTest, AHangingDependentGivesTheServiceAndTheTimeOut) {
    std::string main = started();
    std::string hanging = started("--accept=stop --hang-stop --wait-hint=100");
    DependentsStandIn platform(main, {hanging});

    int settled = controlServices(host, platform, {main}, SERVICE_STOP, SERVICE_CONTROL_STOP, 1500);

    EXPECT_EQ(settled, 0);
    EXPECT_TRUE(wrote(main + ": " + Plinth::SDKException(ERROR_TIMEOUT).getMessage()))
        << (host.statusWrites.empty() ? "" : host.statusWrites.back());
    EXPECT_EQ(queryStatus(main).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING))
        << "the service itself was never asked to stop";
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

TEST_F(ControlCommandsTest, AQuitDuringTheWaitLeavesTheWindowAlone) {
    std::string name = services.create({"--start-ms=3000 --wait-hint=500"});
    PostQuitMessage(0);
    EXPECT_EQ(controlServices(host, {name}, SERVICE_START, 0), -1);
    EXPECT_EQ(host.refreshes, 0);
    EXPECT_TRUE(host.busy.busy()) << "not lowered on a window that may be gone";
}
