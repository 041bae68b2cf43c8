// Remove, start type and kill after the safety question, against Wine's
// manager, registry (read back with reg.exe) and real service processes.
#include "operations/win/ChangeCommands.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

#include "framework/Exception.h"
#include "framework/win/UniqueHandle.h"

using namespace kelvane;
using namespace kelvane::test;

using ChangeCommandsTest = ServiceFixture;

// The failure of one service has no name; with nothing removed the failures
// alone stay, else the summary goes above them. How the start type's
// failures read is the same path.
TEST_F(ChangeCommandsTest, RemoveAsksOnceAndPutsTheSummaryAboveTheFailures) {
    const std::string missing = "kvtest-no-such-service";
    const std::string failure = Plinth::LWE(ERROR_SERVICE_DOES_NOT_EXIST).getMessage();
    TestCommandHost host;
    AnsweredBoxes boxes(IDYES);
    host.select({missing, missing});
    removeSelected(host);
    EXPECT_EQ(host.status, failure + "\r\n" + failure);
    EXPECT_EQ(host.refreshes, 0);

    std::string name = services.create();
    host.select({name, missing});
    removeSelected(host);
    EXPECT_EQ(boxes.boxes.size(), 2u) << "one question each time";
    EXPECT_EQ(queryStatus(name).dwCurrentState, 0u) << "removed";
    EXPECT_EQ(host.status, "There were removed 1 services or drivers.\r\n" + failure);
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(ChangeCommandsTest, AnsweringNoChangesNothing) {
    TestCommandHost host;
    std::string name = runningService(services);
    host.select({name});
    AnsweredBoxes boxes(IDNO);

    removeSelected(host);
    setStartTypeSelected(host, SERVICE_DISABLED);
    killSelected(host);

    EXPECT_EQ(boxes.boxes.size(), 3u) << "each asks first";
    EXPECT_TRUE(host.statusWrites.empty());
    EXPECT_EQ(serviceValues(name)["Start"], "0x3");
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
}

// Wine's manager keeps reporting a service whose process was killed as
// running (a stop then fails with 232), so the test checks the processes, and
// deletes the services at once instead of waiting for a stop that never comes.
TEST_F(ChangeCommandsTest, KillEndsTheRealProcessesAndLeavesNoImpersonation) {
    TestCommandHost host;
    HANDLE token = nullptr;
    std::vector<std::string> names = {runningService(services), runningService(services)};
    host.select(names);
    std::vector<Plinth::UniqueHandleObject> processes;
    for (const std::string& name : names) {
        processes.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, queryStatus(name).dwProcessId));
        ASSERT_TRUE(processes.back()) << name;
    }
    AnsweredBoxes boxes(IDYES);

    killSelected(host);

    for (const auto& process : processes) {
        EXPECT_EQ(WaitForSingleObject(process.get(), 0), WAIT_OBJECT_0);
    }
    EXPECT_EQ(host.status, "2 processes have been killed.");
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token))
        << "the thread impersonated itself for the command only";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
    Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    for (const std::string& name : names) {
        Plinth::UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), DELETE));
        EXPECT_TRUE(service && DeleteService(service.get())) << name;
    }
}
