// Remove, start type and kill after the safety question, against Wine's
// manager, registry (read back with reg.exe) and real service processes.
#include "operations/win/ChangeCommands.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

using ChangeCommandsTest = ServiceFixture;

// The failure of one service has no name; with nothing removed the failures
// alone stay, else the summary goes above them. How the start type's
// failures read is the same path. Wine's manager keeps reporting a service
// whose process was killed as running (a stop then fails with 232), so the
// test checks the processes, and removes the services without a stop.
TEST_F(ChangeCommandsTest, AnsweringNoChangesNothingKillEndsTheProcessesAndRemoveSumsUpAbove) {
    TestCommandHost host;
    std::vector<std::string> names = {runningService(services), runningService(services)};
    host.select(names);
    AnsweredBoxes boxes(IDNO);
    removeSelected(host);
    setStartTypeSelected(host, SERVICE_DISABLED);
    killSelected(host);
    EXPECT_EQ(boxes.boxes.size(), 3u) << "each asks first";
    EXPECT_TRUE(host.statusWrites.empty());
    EXPECT_EQ(serviceValues(names[0])["Start"], "0x3");

    // The count in the status line shows both were killed; one shows it is real.
    Plinth::UniqueHandleObject process(
        OpenProcess(SYNCHRONIZE, FALSE, queryStatus(names[0]).dwProcessId));
    boxes.answer = IDYES;
    killSelected(host);
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(host.status, "2 processes have been killed.");
    HANDLE token = nullptr;
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token))
        << "the thread impersonated itself for the command only";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));

    const std::string missing = "kvtest-no-such-service";
    const std::string failure = Plinth::LWE(ERROR_SERVICE_DOES_NOT_EXIST).getMessage();
    host.select({missing, missing});
    removeSelected(host);
    EXPECT_EQ(host.status, failure + "\r\n" + failure);
    EXPECT_EQ(host.refreshes, 1) << "only the kill refreshed";
    host.select({names[0], missing, names[1]});
    removeSelected(host);
    EXPECT_EQ(boxes.boxes.size(), 6u) << "one question each time";
    EXPECT_EQ(host.status, "There were removed 2 services or drivers.\r\n" + failure);
}
