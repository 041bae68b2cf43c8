// The connection against Wine's own service control manager, checked with
// reg.exe where it changes services.
#include "operations/win/ScmConnection.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

using ScmConnectionTest = ServiceFixture;

// What the dialog's creation shows aside: the values the dialog never passes.
TEST_F(ScmConnectionTest, ACreatedServiceIsWhatTheRegistrySees) {
    OwnServiceName created;
    ScmConnection connection;
    const std::string command = "\"" + TestServices::testServicePath() + "\"";
    SC_HANDLE handle = connection.createService("", created.name, command.c_str(), nullptr,
                                                SERVICE_WIN32_OWN_PROCESS, SERVICE_DISABLED,
                                                "KvTestGroup", "RpcSs\0", "", "");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(connection.service(), handle);
    auto values = serviceValues(created.name);
    EXPECT_EQ(values["DisplayName"], created.name) << "shown by its name";
    EXPECT_EQ(values["ErrorControl"], "0x1") << "normal error control";
    EXPECT_EQ(values["ObjectName"], "LocalSystem") << "an empty account means the system's";
    EXPECT_EQ(values["Group"], "KvTestGroup");
    EXPECT_EQ(values["DependOnService"].rfind("RpcSs", 0), 0u) << values["DependOnService"];
}

// The context is read inside the handler: a copy of the exception would
// take the context current where it is copied.
TEST_F(ScmConnectionTest, FailuresCarryTheirCodeAndContext) {
    ScmConnection connection;
    try {
        connection.openService("kvtest-no-such-service", 4);
        ADD_FAILURE() << "opened";
    } catch (const Plinth::SDKException& e) {
        EXPECT_EQ(e.code(), static_cast<uint32_t>(ERROR_SERVICE_DOES_NOT_EXIST));
        EXPECT_EQ(std::string(e.context().text()), "opening service");
        EXPECT_EQ(std::string(e.context().object()), "kvtest-no-such-service");
    }
    // Wine's manager answers for any computer name: a database that does
    // not exist stands for a manager that cannot be reached.
    ScmConnection refused;
    try {
        refused.openManager("", 5, "NoSuchDatabase");
        ADD_FAILURE() << "opened";
    } catch (const Plinth::SDKException& e) {
        EXPECT_EQ(std::string(e.context().text()), "opening service manager");
    }
    EXPECT_EQ(refused.managerRights(), 0u);
    EXPECT_NE(refused.openManager("", 5), nullptr) << "a later open is not refused";
}

TEST_F(ScmConnectionTest, OverlappingRightsKeepTheOpenManager) {
    std::string name = services.create();
    ScmConnection connection;
    SC_HANDLE first = connection.openManager("", 5);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(connection.openManager("", 4), nullptr);
    SC_HANDLE service = connection.openService(name, SERVICE_QUERY_STATUS);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(connection.manager(), first);

    SC_HANDLE reopened = connection.openManager("", 2);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(connection.manager(), reopened);
    EXPECT_EQ(connection.managerRights(), 7u);
    SERVICE_STATUS status{};
    EXPECT_TRUE(QueryServiceStatus(service, &status)) << "the service outlives the old manager";
    EXPECT_NE(connection.openService(name, SERVICE_QUERY_STATUS), nullptr)
        << "a manager opened for creating still opens services";
}
