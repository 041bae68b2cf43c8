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
    for (const auto& [id, stored] : {std::pair<int, const char*>{ID_START_TYPE_DISABLED, "0x4"},
                                     {ID_START_TYPE_AUTOMATIC, "0x2"}}) {
        EXPECT_TRUE(runOperationCommand(host, id));
        EXPECT_EQ(serviceValues(name)["Start"], stored) << id;
    }
    auto after = serviceValues(name);
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
    EXPECT_FALSE(runOperationCommand(host, ID_EDIT_SERVICE)) << "needs the entry at the mark";
}
