// The connection against Wine's own service control manager; what it
// creates and changes is read back in the parameters dialog's tests.
#include "operations/win/ScmConnection.h"
#include "tests/windows/operations/CommandHarness.h"

#include "framework/Exception.h"

using namespace kelvane;
using namespace kelvane::test;

using ScmConnectionTest = ServiceFixture;

TEST_F(ScmConnectionTest, OverlappingRightsKeepTheOpenManagerAndAFailedOpenRecordsNone) {
    std::string name = services.create();
    ScmConnection connection;
    // Wine's manager answers for any computer name: a database that does
    // not exist stands for a manager that cannot be reached.
    EXPECT_THROW(connection.openManager("", 5, "NoSuchDatabase"), Plinth::SDKException);
    EXPECT_EQ(connection.managerRights(), 0u);
    SC_HANDLE first = connection.openManager("", 5);
    ASSERT_NE(first, nullptr) << "the failed open is not taken for an open one";
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
