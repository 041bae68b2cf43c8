// Remove, start type and kill after the safety question, against Wine's
// manager, registry (read back with reg.exe) and real service processes.
#include "operations/win/ChangeCommands.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

#include "framework/Exception.h"
#include "framework/win/UniqueHandle.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class ChangeCommandsTest : public ServiceFixture {
protected:
    TestCommandHost host;

    static bool exists(const std::string& name) { return queryStatus(name).dwCurrentState != 0; }
    static void deleteKilled(const std::string& name) {
        Plinth::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        Plinth::UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), DELETE));
        EXPECT_TRUE(service && DeleteService(service.get())) << name;
    }
};

const std::string missing = "kvtest-no-such-service";

} // namespace

TEST_F(ChangeCommandsTest, RemovingTwoOfWhichTheSecondCannotBeOpenedRemovesOne) {
    std::string name = services.create();
    host.select({name, missing});
    AnsweredBoxes boxes(IDYES);

    removeSelected(host);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              "Are you really sure you want to remove the selected services/drivers ?!");
    EXPECT_EQ(boxes.boxes[0].caption, "Safety Question");
    EXPECT_EQ(boxes.boxes[0].style, 0x34u);
    EXPECT_FALSE(exists(name));
    const std::string failure = Plinth::LWE(ERROR_SERVICE_DOES_NOT_EXIST).getMessage();
    const std::vector<std::string> writes = {
        "", failure, "There were removed 1 services or drivers.\r\n" + failure};
    EXPECT_EQ(host.statusWrites, writes) << "the failure has no name; the summary goes above it";
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(ChangeCommandsTest, WhenNothingSucceedsEveryFailureStays) {
    host.select({missing, missing + "-2"});
    AnsweredBoxes boxes(IDYES);
    removeSelected(host);
    const std::string failure = Plinth::LWE(ERROR_SERVICE_DOES_NOT_EXIST).getMessage();
    EXPECT_EQ(host.status, failure + "\r\n" + failure);
    EXPECT_EQ(host.refreshes, 0);
}

TEST_F(ChangeCommandsTest, AnsweringNoChangesNothing) {
    std::string name = runningService(services);
    host.select({name});
    host.status = "before";
    AnsweredBoxes boxes(IDNO);

    removeSelected(host);
    setStartTypeSelected(host, SERVICE_DISABLED);
    killSelected(host);

    EXPECT_EQ(boxes.boxes.size(), 3u) << "each asks first";
    EXPECT_TRUE(host.statusWrites.empty());
    EXPECT_EQ(host.status, "before");
    EXPECT_EQ(serviceValues(name)["Start"], "0x3");
    EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(ChangeCommandsTest, ARefusedStartTypeIsShownAndNotCounted) {
    std::string refusing = services.create();
    std::string accepting = services.create();
    host.select({refusing, accepting});
    AnsweredBoxes boxes(IDYES);

    // A service in its own process cannot be started by the boot loader.
    setStartTypeSelected(host, SERVICE_BOOT_START);

    if (serviceValues(refusing)["Start"] == "0x0") {
        GTEST_SKIP() << "this manager accepts boot start for a service";
    }
    EXPECT_EQ(host.statusWrites[1], Plinth::LWE(ERROR_INVALID_PARAMETER).getMessage());
    EXPECT_EQ(host.refreshes, 0);
}

// Wine's manager keeps reporting a service whose process was killed as
// running (a stop then fails with 232), so the test checks the processes, and
// deletes the services at once instead of waiting for a stop that never comes.
TEST_F(ChangeCommandsTest, KillEndsTheRealProcessesAndLeavesNoImpersonation) {
    HANDLE token = nullptr;
    ASSERT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token));
    std::string first = runningService(services), second = runningService(services);
    host.select({first, second});
    std::vector<Plinth::UniqueHandleObject> processes;
    for (const std::string& name : {first, second}) {
        processes.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, queryStatus(name).dwProcessId));
        ASSERT_TRUE(processes.back()) << name;
    }
    AnsweredBoxes boxes(IDYES);

    killSelected(host);

    for (const auto& process : processes) {
        EXPECT_EQ(WaitForSingleObject(process.get(), 0), WAIT_OBJECT_0);
    }
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.status, "2 processes have been killed.");
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token))
        << "the thread impersonated itself for the command only";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
    deleteKilled(first);
    deleteKilled(second);
}
