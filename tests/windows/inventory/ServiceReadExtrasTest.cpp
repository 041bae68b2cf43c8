// What Wine 8's manager does not give: its QueryServiceConfigA answers an
// empty dependency list (though it stores the list), and QueryServiceConfig2A
// refuses failure actions, delayed start and triggers (124). The structures
// come from a scripted stand-in laid out as the manager lays them out: the
// strings behind the structure, in the caller's buffer.
#include "inventory/win/ServiceEnumeration.h"
#include "inventory/win/ServiceRead.h"
#include "inventory/win/ServiceReadExtras.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/ModuleResources.h"
#include "inventory/ServiceColumns.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

namespace {

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
    bool scriptConfig = false; // else the system's configuration
    std::string dependencies;  // each ended by a NUL
    std::string group, description, rebootMessage, command;
    std::vector<SC_ACTION> actions;
    BOOL delayed = FALSE;
    std::map<DWORD, DWORD> refused; // level to error code
    std::map<DWORD, int> calls;     // level to calls

    DWORD queryConfig(SC_HANDLE service, QUERY_SERVICE_CONFIGA* buffer, DWORD size,
                      DWORD& needed) override {
        if (!scriptConfig) {
            return configSourceOr(nullptr).queryConfig(service, buffer, size, needed);
        }
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
        ++calls[level];
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

TEST(ServiceReadExtrasTest, StructuresWineDoesNotGiveDecodeIntoTheirWords) {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    ScriptedManager manager;
    manager.scriptConfig = true;
    manager.dependencies = std::string("RpcSs") + '\0' + "+NetworkProvider" + '\0';
    manager.group = "Servers";
    std::optional<ServiceConfiguration> config = ConfigurationReader(&manager).read(nullptr);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->dependencies, (std::vector<std::string>{"RpcSs", "+NetworkProvider"}));
    EXPECT_EQ(config->loadOrderGroup, "Servers");

    manager.description = std::string(3000, 'd'); // more than a first buffer holds
    manager.actions = {
        {SC_ACTION_RESTART, 60000}, {SC_ACTION_REBOOT, 0}, {SC_ACTION_RUN_COMMAND, 0}};
    manager.command = "C:\\x\\y.exe -a";
    manager.rebootMessage = "Going down";
    manager.delayed = TRUE;

    ExtrasReader reader(&manager);
    ServiceExtras extras = reader.read(nullptr, true);
    EXPECT_EQ(extras.description, manager.description);
    EXPECT_TRUE(extras.delayedStart);
    EXPECT_TRUE(extras.triggerStart);
    const RowTexts texts = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    EXPECT_EQ(recoveryText(extras.failureActions, texts.recovery),
              "restart after 1 min, reboot, run C:\\x\\y.exe -a; reset after 1 day; "
              "reboot message: Going down");

    // A manual start does not ask for the delayed start at all.
    manager.calls.clear();
    EXPECT_FALSE(reader.read(nullptr, false).delayedStart);
    EXPECT_EQ(manager.calls.count(SERVICE_CONFIG_DELAYED_AUTO_START_INFO), 0u);
    EXPECT_EQ(manager.calls[SERVICE_CONFIG_DESCRIPTION], 1) << "the grown buffer is kept";

    // A description that names a string resource, resolved for the local
    // computer only, in the language the system picks for it.
    manager.description = "@" + programPath("win_inventory_tests.exe") + ",-244";
    char systemText[64] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 244, systemText, sizeof systemText), 0);
    EXPECT_EQ(ExtrasReader(&manager, resolveIndirectText).read(nullptr, false).description,
              systemText);
    EXPECT_EQ(reader.read(nullptr, false).description, manager.description);
}

TEST_F(ServiceFixture, ARefusedQueryEmptiesItsCellAndTheReadGoesOn) {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    TestServiceSetup automatic;
    automatic.startType = SERVICE_AUTO_START;
    const std::string name = services.create(automatic);

    ScriptedManager manager;
    manager.description = "Keeps things going";
    manager.delayed = TRUE;
    manager.actions = {{SC_ACTION_RESTART, 1000}};
    manager.refused = {{SERVICE_CONFIG_FAILURE_ACTIONS, ERROR_ACCESS_DENIED},
                       {8, ERROR_INVALID_LEVEL}};
    Plinth::UniqueServiceHandle scm(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE));
    ReaderState shared;
    ReadContext context;
    context.manager = scm.get();
    context.texts = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    context.configSource = &manager;
    readAllServices(context, shared);

    TableRow row;
    ASSERT_TRUE(shared.table.findRow({SharedText(name)}, row));
    EXPECT_EQ(row.cell(C::description).text, "Keeps things going");
    EXPECT_EQ(row.cell(C::startOptions).text, Plinth::loadString(245)) << "delayed, no trigger";
    EXPECT_EQ(row.cell(C::onFailure).text, "") << "refused: empty";
    EXPECT_GT(shared.table.rowCount(), 10u) << "every other service was read too";
}
