// The connection against Wine's own service control manager; what it
// creates and changes is read back in the parameters dialog's tests.
#include "operations/win/ScmConnection.h"
#include "tests/windows/operations/CommandHarness.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

using ScmConnectionTest = ServiceFixture;

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
