// The platform side of a read against Wine's own service control manager.
#include "inventory/win/ServiceEnumeration.h"
#include "tests/windows/support/TestServices.h"

#include "framework/Exception.h"
#include "framework/win/UniqueHandle.h"

#include <map>

using namespace kelvane;
using namespace kelvane::test;
using Plinth::UniqueServiceHandle;

namespace {

UniqueServiceHandle openManager() {
    return UniqueServiceHandle(OpenSCManagerA(nullptr, SERVICES_ACTIVE_DATABASEA,
                                              SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE));
}

std::map<std::string, EnumeratedService> enumerateAll(ServiceEnumerator& enumerator) {
    UniqueServiceHandle manager = openManager();
    std::map<std::string, EnumeratedService> found;
    for (DWORD state : {SERVICE_ACTIVE, SERVICE_INACTIVE}) {
        enumerator.enumerate(manager.get(), state, [&](const EnumeratedService& s) {
            EXPECT_EQ(found.count(s.serviceName), 0u) << s.serviceName << " listed twice";
            found[s.serviceName] = s;
        });
    }
    return found;
}

} // namespace

TEST_F(ServiceFixture, EnumerationListsRunningAndStoppedServicesOnce) {
    std::string stopped = services.create({"", "", "Stopped one"});
    std::string running = services.create({"--accept=stop"});
    ASSERT_TRUE(startService(running));
    ASSERT_TRUE(waitForState(running, SERVICE_RUNNING));

    ServiceEnumerator enumerator;
    auto found = enumerateAll(enumerator);
    ASSERT_EQ(found.count(stopped), 1u);
    ASSERT_EQ(found.count(running), 1u);
    EXPECT_EQ(found[stopped].displayName, "Stopped one");
    EXPECT_EQ(found[stopped].state, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(found[stopped].processId, 0u);
    EXPECT_EQ(found[running].state, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(found[running].processId, queryStatus(running).dwProcessId);
    EXPECT_NE(found[running].processId, 0u);

    // The buffer grown by the first read serves the second.
    auto again = enumerateAll(enumerator);
    EXPECT_EQ(again.size(), found.size());
}

TEST_F(ServiceFixture, ConfigurationAndKeyTimeOfACreatedService) {
    std::string name = services.create(
        {"--accept=stop", "", "", SERVICE_WIN32_OWN_PROCESS, SERVICE_DISABLED, "KvGroup"});
    UniqueServiceHandle manager = openManager();
    UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG));
    ASSERT_TRUE(service);
    ConfigurationReader reader;
    auto config = reader.read(service.get());
    ASSERT_TRUE(config);
    EXPECT_EQ(config->startType, static_cast<DWORD>(SERVICE_DISABLED));
    EXPECT_NE(config->command.find("kelvane-test-service"), std::string::npos) << config->command;
    EXPECT_EQ(config->account, "LocalSystem");
    EXPECT_EQ(config->loadOrderGroup, "KvGroup");

    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services", 0, KEY_READ,
                            &opened),
              ERROR_SUCCESS);
    Plinth::UniqueKey servicesKey(opened);
    std::string time = serviceKeyTimeText(servicesKey.get(), name);
    ASSERT_EQ(time.size(), 19u) << time;
    EXPECT_EQ(time[2], '.');
    EXPECT_EQ(serviceKeyTimeText(servicesKey.get(), name + "-missing"), "");
}

TEST_F(ServiceFixture, AServiceOpenedWithoutQueryRightsHasNoConfiguration) {
    std::string name = services.create();
    UniqueServiceHandle manager = openManager();
    // Opened for status only: the configuration query is refused.
    UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_STATUS));
    ASSERT_TRUE(service);
    ConfigurationReader reader;
    EXPECT_FALSE(reader.read(service.get())) << "access denied leaves the configuration unknown";
}
