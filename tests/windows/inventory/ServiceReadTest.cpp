// A whole read against Wine's manager, cross-checked with Wine's own reg.exe,
// which we did not write.
#include "inventory/win/ServiceRead.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/ServiceColumns.h"

#include <cstdlib>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

namespace {

constexpr const char* servicesPath = "SYSTEM\\CurrentControlSet\\Services";

class ServiceReadTest : public ServiceFixture {
protected:
    void SetUp() override {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, servicesPath, 0, KEY_READ, servicesKey.put()),
                  ERROR_SUCCESS);
    }

    void read() {
        HostInfo local;
        readComputer(local, servicesKey.get(), shared);
    }

    bool rowOf(const std::string& name, TableRow& row) {
        return shared.table.findRow({SharedText(name)}, row);
    }

    WinsockSession sockets;
    Plinth::UniqueKey servicesKey;
    ReaderState shared;
};

} // namespace

TEST_F(ServiceReadTest, FiftyServicesAndTheSpoolerMatchTheRegistry) {
    const DWORD startTypes[] = {SERVICE_DEMAND_START, SERVICE_AUTO_START, SERVICE_DISABLED};
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i) {
        TestServiceSetup service;
        service.arguments = "--accept=stop --n=" + std::to_string(i);
        service.displayName = "Kelvane read test " + std::to_string(i);
        service.type = i % 10 == 0 ? SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS
                                   : SERVICE_WIN32_OWN_PROCESS;
        service.startType = startTypes[i % 3];
        service.loadOrderGroup = i % 5 == 0 ? "KvGroup" : "";
        names.push_back(services.create(service));
    }
    ASSERT_TRUE(startService(names[1]));
    ASSERT_TRUE(waitForState(names[1], SERVICE_RUNNING));

    read();
    for (const std::string& name : names) {
        TableRow row;
        ASSERT_TRUE(rowOf(name, row)) << name;
        auto values = serviceValues(name);
        auto number = [&](const char* value) {
            return std::strtol(values[value].c_str(), nullptr, 16);
        };
        EXPECT_EQ(row.cell(C::type).intValue(), number("Type")) << name;
        EXPECT_EQ(row.cell(C::startType).intValue(), number("Start")) << name;
        const bool running = name == names[1];
        EXPECT_EQ(row.cell(C::active).intValue(), running ? 1 : 2) << name;
        EXPECT_EQ(row.cell(C::pid).text.empty(), !running) << name;
        EXPECT_EQ(row.cell(C::command).text, values["ImagePath"]) << name;
        EXPECT_EQ(row.cell(C::displayName).text, values["DisplayName"]) << name;
        EXPECT_EQ(row.cell(C::loadOrderGroup).text, values["Group"]) << name;
    }
    TableRow spooler;
    ASSERT_TRUE(rowOf("Spooler", spooler));
    EXPECT_EQ(spooler.cell(C::account).text, serviceValues("Spooler")["ObjectName"]);
}

TEST_F(ServiceReadTest, AHostThatCannotBeReachedEmptiesTheTable) {
    read();
    ASSERT_GT(shared.table.rowCount(), 10u);
    HostInfo remote;
    remote.host = "no-such-host.invalid";
    shared.newData = false;
    // What a real remote manager does for a name that does not resolve.
    auto unreachable = [](ScmConnection&, const std::string& host, DWORD) {
        Plinth::ErrorContext context("opening service manager", host);
        throw Plinth::LWE(RPC_S_SERVER_UNAVAILABLE);
    };
    EXPECT_THROW(readComputer(remote, nullptr, shared, unreachable), Plinth::Exception);
    EXPECT_EQ(shared.table.rowCount(), 0u);
    EXPECT_TRUE(shared.newData);
}

// One deleted between reads leaves the list in ServiceReaderTest.
TEST_F(ServiceReadTest, AServiceDeletedDuringTheReadDoesNotEndIt) {
    const std::string kept = services.create(), doomed = services.create();
    // A service deleted while a handle to it stays open may still be listed
    // by the enumeration; the read goes on either way.
    Plinth::UniqueServiceHandle all(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    Plinth::UniqueServiceHandle held(
        OpenServiceA(all.get(), doomed.c_str(), DELETE | SERVICE_QUERY_STATUS));
    ASSERT_TRUE(held);
    ASSERT_TRUE(DeleteService(held.get()));
    read();
    TableRow row;
    EXPECT_TRUE(rowOf(kept, row));
}
