// The main window's command ids reach the operation and the values they
// stand for.
#include "operations/win/OperationCommands.h"
#include "resources/ResourceIds.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

using namespace kelvane;
using namespace kelvane::test;

using OperationCommandsTest = ServiceFixture;

TEST_F(OperationCommandsTest, CommandIdsReachTheirOperations) {
    TestCommandHost host;
    std::string name = services.create({"--accept=stop,pause"});
    host.select({name});
    AnsweredBoxes boxes(IDYES);

    const auto before = serviceValues(name);
    EXPECT_TRUE(runOperationCommand(host, ID_START_TYPE_AUTOMATIC));
    auto after = serviceValues(name);
    EXPECT_EQ(after["Start"], "0x2");
    after["Start"] = before.at("Start");
    EXPECT_EQ(after, before) << "a start type change touches only Start";
    const std::pair<int, const char*> controls[] = {
        {IDC_START, "1 service has been started."},
        {IDC_PAUSE, "1 service has been paused."},
        {IDC_CONTINUE, "1 service has been continued."},
        {IDC_STOP, "1 service has been controlled."},
        {IDC_REMOVE, "There were removed 1 services or drivers."}};
    for (const auto& [id, status] : controls) {
        EXPECT_TRUE(runOperationCommand(host, id));
        EXPECT_EQ(host.status, status) << id;
    }
    EXPECT_FALSE(runOperationCommand(host, IDC_REFRESH));
}
