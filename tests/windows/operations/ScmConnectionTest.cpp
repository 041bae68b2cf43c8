// The connection against Wine's own service control manager, checked with
// the system's sc.exe and reg.exe where it changes services.
#include "operations/win/ScmConnection.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "framework/Exception.h"

#include <map>

using namespace kelvane;
using namespace kelvane::test;

namespace {

struct Failure {
    uint32_t code = 0;
    std::string context, object, message;
};

// The context is read inside the handler: a copy of the exception would
// take the context current where it is copied.
template <typename F> Failure failureOf(F f) {
    try {
        f();
    } catch (const Plinth::SDKException& e) {
        return {e.code(), e.context().text(), e.context().object(), e.getMessage()};
    }
    ADD_FAILURE() << "no exception";
    return {};
}

class ScmConnectionTest : public ServiceFixture {
protected:
    OwnServiceNames created;
    std::string testCommand(const std::string& arguments = "") {
        return "\"" + TestServices::testServicePath() + "\" " + arguments;
    }
};

} // namespace

// What the dialog's creation shows aside: the values the dialog never passes.
TEST_F(ScmConnectionTest, ACreatedServiceIsWhatTheRegistrySees) {
    const std::string name = created.next();
    ScmConnection connection;
    SC_HANDLE handle = connection.createService("", name, testCommand().c_str(), nullptr,
                                                SERVICE_WIN32_OWN_PROCESS, SERVICE_DISABLED,
                                                "KvTestGroup", "RpcSs\0", "", "");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(connection.service(), handle);
    auto values = serviceValues(name);
    EXPECT_EQ(values["DisplayName"], name) << "shown by its name";
    EXPECT_EQ(values["Start"], "0x4");
    EXPECT_EQ(values["ErrorControl"], "0x1") << "normal error control";
    EXPECT_EQ(values["ObjectName"], "LocalSystem") << "an empty account means the system's";
    EXPECT_EQ(values["Group"], "KvTestGroup");
    EXPECT_EQ(values["DependOnService"].rfind("RpcSs", 0), 0u) << values["DependOnService"];
}

TEST_F(ScmConnectionTest, FailuresCarryTheirCodeAndContext) {
    ScmConnection connection;
    auto missing = failureOf([&] { connection.openService("kvtest-no-such-service", 4); });
    EXPECT_EQ(missing.code, static_cast<uint32_t>(ERROR_SERVICE_DOES_NOT_EXIST));
    EXPECT_EQ(missing.context, "opening service");
    EXPECT_EQ(missing.object, "kvtest-no-such-service");
    EXPECT_FALSE(missing.message.empty());

    // Wine's manager answers for any computer name: a database that does
    // not exist stands for a manager that cannot be reached.
    ScmConnection refused;
    auto manager = failureOf([&] { refused.openManager("", 5, "NoSuchDatabase"); });
    EXPECT_NE(manager.code, 0u);
    EXPECT_EQ(manager.context, "opening service manager");
    EXPECT_EQ(refused.managerRights(), 0u);
    EXPECT_NE(refused.openManager("", 5), nullptr) << "a later open is not refused";
}

TEST_F(ScmConnectionTest, OverlappingRightsKeepTheOpenManager) {
    std::string name = services.create();
    ScmConnection connection;
    SC_HANDLE first = connection.openManager("", 5);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(connection.openManager("", 4), nullptr);
    EXPECT_EQ(connection.openManager("", 1), nullptr);
    EXPECT_EQ(connection.manager(), first);

    SC_HANDLE service = connection.openService(name, SERVICE_QUERY_STATUS);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(connection.manager(), first);

    SC_HANDLE reopened = connection.openManager("", 2);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(connection.manager(), reopened);
    EXPECT_EQ(connection.managerRights(), 7u);
    EXPECT_EQ(connection.service(), service) << "the service handle outlives the old manager";
    SERVICE_STATUS status{};
    EXPECT_TRUE(QueryServiceStatus(service, &status));
    EXPECT_NE(connection.openService(name, SERVICE_QUERY_STATUS), nullptr)
        << "a manager opened for creating still opens services";
}
