// Whole reads against Wine's manager, cross-checked with Wine's own reg.exe,
// which we did not write, and with a stand-in for what the manager does not
// give; and the reader thread with the refresh cycle, as the window runs them.
#include "inventory/win/ServiceRead.h"
#include "inventory/win/ServiceReadExtras.h"
#include "inventory/win/ServiceReader.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestServices.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"
#include "inventory/ServiceColumns.h"

#include <cstring>
#include <map>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

namespace {

struct ListRecorder : NullEntrySink {
    int removed = 0;
    void entryRemoved(int, const ServiceEntry&) override { ++removed; }
};

class ServiceReadTest : public ServiceFixture {
protected:
    void SetUp() override {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services", 0,
                                KEY_READ, servicesKey.put()),
                  ERROR_SUCCESS);
    }

    RefreshResult refresh(ServiceReader& reader) {
        reader.setHost("");
        reader.startRead();
        return runRefreshCycle(reader.state(), tables, reader.hostInfo().isLocal, entries, list,
                               [&] { return waitForReaderStep(reader); });
    }
    const ServiceEntry* entryNamed(const std::string& name) {
        return entries.find(entries.numberOf(SharedText(name)));
    }

    WinsockSession sockets;
    Plinth::UniqueKey servicesKey;
    ReaderState shared;
    ShownTables tables;
    ServiceEntries entries;
    ListRecorder list;
};

// What Wine 8's manager does not give: its QueryServiceConfigA answers an
// empty dependency list (though it stores the list), and QueryServiceConfig2A
// refuses failure actions, delayed start and triggers (124). The structures
// come from a scripted stand-in laid out as the manager lays them out: the
// strings behind the structure, in the caller's buffer.
// Places pieces one after another while they fit, as the manager lays out an
// answer: the strings behind the structure, in the caller's buffer.
struct Layout {
    BYTE* buffer;
    size_t size, used = 0;
    template <typename T> T* take(size_t count = 1) {
        used = (used + alignof(T) - 1) / alignof(T) * alignof(T);
        T* place = used + count * sizeof(T) <= size ? reinterpret_cast<T*>(buffer + used) : nullptr;
        used += count * sizeof(T);
        return place;
    }
    char* text(const std::string& value) {
        char* place = take<char>(value.size() + 1);
        if (place) {
            place[value.copy(place, value.size())] = '\0'; // a list keeps its NULs
        }
        return place;
    }
    DWORD answer(DWORD& needed) const {
        needed = static_cast<DWORD>(used);
        return used <= size ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
    }
};

class ScriptedManager : public ServiceConfigSource {
public:
    std::string dependencies; // each ended by a NUL
    std::string group, description, rebootMessage, command;
    std::vector<SC_ACTION> actions;
    BOOL delayed = FALSE;
    std::map<DWORD, DWORD> refused; // level to error code

    DWORD queryConfig(SC_HANDLE, QUERY_SERVICE_CONFIGA* buffer, DWORD size,
                      DWORD& needed) override {
        Layout layout{reinterpret_cast<BYTE*>(buffer), size};
        auto* info = layout.take<QUERY_SERVICE_CONFIGA>();
        const QUERY_SERVICE_CONFIGA answer{SERVICE_WIN32_OWN_PROCESS,  SERVICE_AUTO_START, 0,
                                           layout.text("C:\\svc.exe"), layout.text(group), 0,
                                           layout.text(dependencies)};
        if (info) {
            *info = answer;
        }
        return layout.answer(needed);
    }

    DWORD queryConfig2(SC_HANDLE, DWORD level, BYTE* buffer, DWORD size, DWORD& needed) override {
        if (refused.count(level)) {
            return refused[level];
        }
        Layout layout{buffer, size};
        if (level == SERVICE_CONFIG_DESCRIPTION) {
            auto* info = layout.take<SERVICE_DESCRIPTIONA>();
            char* text = layout.text(description);
            if (info) {
                info->lpDescription = text;
            }
        } else if (level == SERVICE_CONFIG_FAILURE_ACTIONS) {
            auto* info = layout.take<SERVICE_FAILURE_ACTIONSA>();
            auto* array = layout.take<SC_ACTION>(actions.size());
            const SERVICE_FAILURE_ACTIONSA answer{86400, layout.text(rebootMessage),
                                                  layout.text(command),
                                                  static_cast<DWORD>(actions.size()), array};
            if (info && array) {
                *info = answer;
                std::copy(actions.begin(), actions.end(), array);
            }
        } else if (auto* info = layout.take<DWORD>(3 * sizeof(void*) / sizeof(DWORD))) {
            // The delayed start's flag, or the triggers' count before two pointers.
            std::memset(info, 0, 3 * sizeof(void*));
            *info = level == SERVICE_CONFIG_DELAYED_AUTO_START_INFO ? delayed : 2;
        }
        return layout.answer(needed);
    }
};

} // namespace

TEST_F(ServiceReadTest, FiftyServicesMatchTheRegistryAndAnUnreachableHostEmptiesTheTable) {
    const DWORD startTypes[] = {SERVICE_DEMAND_START, SERVICE_AUTO_START, SERVICE_DISABLED};
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i) {
        TestServiceSetup service;
        service.arguments = "--accept=stop --n=" + std::to_string(i);
        service.displayName = "Kelvane read test " + std::to_string(i);
        service.type = i % 10 == 0 ? SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS
                                   : SERVICE_WIN32_OWN_PROCESS;
        service.startType = startTypes[i % 3];
        names.push_back(services.create(service));
    }
    ASSERT_TRUE(startService(names[1]));
    ASSERT_TRUE(waitForState(names[1], SERVICE_RUNNING));
    // A service deleted while a handle to it stays open may still be listed
    // by the enumeration; the read goes on either way.
    const std::string doomed = services.create();
    Plinth::UniqueServiceHandle all(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    Plinth::UniqueServiceHandle held(
        OpenServiceA(all.get(), doomed.c_str(), DELETE | SERVICE_QUERY_STATUS));
    ASSERT_TRUE(held && DeleteService(held.get()));

    HostInfo local;
    readComputer(local, servicesKey.get(), shared);
    for (const std::string& name : names) {
        TableRow row;
        ASSERT_TRUE(shared.table.findRow({SharedText(name)}, row)) << name;
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
        EXPECT_EQ(row.cell(C::account).text, values["ObjectName"]) << name;
    }

    // A computer that cannot be reached empties the table.
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

// Every service of Wine's manager is read with the stand-in's configuration.
TEST_F(ServiceReadTest, StructuresWineDoesNotGiveDecodeAndARefusalEmptiesOnlyItsCell) {
    ScriptedManager manager;
    manager.dependencies = std::string("RpcSs") + '\0' + "+NetworkProvider" + '\0';
    manager.group = "Servers";
    manager.actions = {
        {SC_ACTION_RESTART, 60000}, {SC_ACTION_REBOOT, 0}, {SC_ACTION_RUN_COMMAND, 0}};
    manager.command = "C:\\x\\y.exe -a";
    manager.rebootMessage = std::string(3000, 'r'); // more than a first buffer holds
    manager.delayed = TRUE;
    manager.refused = {{SERVICE_CONFIG_DESCRIPTION, ERROR_ACCESS_DENIED}};
    Plinth::UniqueServiceHandle scm(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE));
    ReadContext context;
    context.manager = scm.get();
    context.texts = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    context.configSource = &manager;
    readAllServices(context, shared);

    EXPECT_GT(shared.table.rowCount(), 10u) << "every service was read";
    TableRow row;
    ASSERT_TRUE(shared.table.findRow({SharedText("Spooler")}, row));
    EXPECT_EQ(row.cell(C::dependencies).text,
              "RpcSs" + std::string(listCellSeparator) + "+NetworkProvider");
    EXPECT_EQ(row.cell(C::loadOrderGroup).text, "Servers");
    EXPECT_EQ(row.cell(C::startOptions).text, context.texts.delayed + ", " + context.texts.trigger);
    EXPECT_EQ(row.cell(C::onFailure).text,
              "restart after 1 min, reboot, run C:\\x\\y.exe -a; reset after 1 day; "
              "reboot message: " +
                  manager.rebootMessage);
    EXPECT_EQ(row.cell(C::description).text, "") << "refused: empty";

    // A description that names a string resource, resolved for the local
    // computer only, in the language the system picks for it.
    manager.refused.clear();
    manager.description = "@" + programPath("win_inventory_tests.exe") + ",-244";
    char systemText[64] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 244, systemText, sizeof systemText), 0);
    EXPECT_EQ(ExtrasReader(&manager, resolveIndirectText).read(nullptr, false).description,
              systemText);
    EXPECT_EQ(ExtrasReader(&manager).read(nullptr, false).description, manager.description);
}

TEST_F(ServiceReadTest, TheListFillsWhileTheReadGoesOnAndChangesAreMarkedAfterIt) {
    for (int i = 0; i < 300; ++i) {
        services.create();
    }
    const std::string kept = services.names()[0], gone = services.names()[1];
    {
        ServiceReader idle(nullptr); // ends when destroyed without a read
    }
    ServiceReader reader(nullptr);
    RefreshResult result = refresh(reader);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.errorText, "");
    EXPECT_GE(result.steps, 2) << "differences arrive while the read runs, not once at the end";
    for (const std::string& name : services.names()) {
        EXPECT_NE(entryNamed(name), nullptr) << name;
    }

    // Which change sets which column's bit is pinned natively (RefreshCycleTest).
    services.remove(gone);
    const std::string added = services.create();
    refresh(reader);
    EXPECT_EQ(entryNamed(gone), nullptr);
    ASSERT_NE(entryNamed(added), nullptr);
    EXPECT_EQ(entryNamed(added)->changed, -1) << "absent from the baseline";
    ASSERT_NE(entryNamed(kept), nullptr);
    EXPECT_EQ(entryNamed(kept)->changed, 0) << "unchanged";
    EXPECT_EQ(list.removed, 1);
}
