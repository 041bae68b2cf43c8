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

#include <cstring>
#include <map>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

namespace {

class ScriptedManager : public ServiceConfigSource {
public:
    bool scriptConfig = false; // else the system's configuration
    std::string dependencies;  // each ended by a NUL
    std::string group;
    std::string description;
    SERVICE_FAILURE_ACTIONSA failure{};
    std::vector<SC_ACTION> actions;
    std::string rebootMessage, command;
    BOOL delayed = FALSE;
    DWORD triggers = 0;
    std::map<DWORD, DWORD> refused; // level to error code
    std::map<DWORD, int> calls;     // level to calls

    DWORD queryConfig(SC_HANDLE service, QUERY_SERVICE_CONFIGA* buffer, DWORD size,
                      DWORD& needed) override {
        if (!scriptConfig) {
            return configSourceOr(nullptr).queryConfig(service, buffer, size, needed);
        }
        Layout layout(reinterpret_cast<BYTE*>(buffer), size);
        auto* info = layout.take<QUERY_SERVICE_CONFIGA>();
        char* command = layout.text("C:\\svc.exe");
        char* loadOrderGroup = layout.text(group);
        char* list = layout.take<char>(dependencies.size() + 1);
        if (layout.fits()) {
            *info = QUERY_SERVICE_CONFIGA{};
            info->dwStartType = SERVICE_AUTO_START;
            info->lpBinaryPathName = command;
            info->lpLoadOrderGroup = loadOrderGroup;
            info->lpDependencies = list;
            std::memcpy(list, dependencies.c_str(), dependencies.size() + 1);
        }
        needed = layout.used();
        return layout.fits() ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
    }

    DWORD queryConfig2(SC_HANDLE, DWORD level, BYTE* buffer, DWORD size, DWORD& needed) override {
        ++calls[level];
        const auto refusal = refused.find(level);
        if (refusal != refused.end()) {
            return refusal->second;
        }
        Layout layout(buffer, size);
        switch (level) {
        case SERVICE_CONFIG_DESCRIPTION: {
            auto* info = layout.take<SERVICE_DESCRIPTIONA>();
            char* text = layout.text(description);
            if (info) {
                info->lpDescription = text;
            }
            break;
        }
        case SERVICE_CONFIG_FAILURE_ACTIONS: {
            auto* info = layout.take<SERVICE_FAILURE_ACTIONSA>();
            auto* array = layout.take<SC_ACTION>(actions.size());
            char* message = layout.text(rebootMessage);
            char* run = layout.text(command);
            if (layout.fits()) {
                *info = failure;
                info->cActions = static_cast<DWORD>(actions.size());
                info->lpsaActions = actions.empty() ? nullptr : array;
                std::memcpy(array, actions.data(), actions.size() * sizeof(SC_ACTION));
                info->lpRebootMsg = message;
                info->lpCommand = run;
            }
            break;
        }
        case SERVICE_CONFIG_DELAYED_AUTO_START_INFO:
            if (auto* info = layout.take<SERVICE_DELAYED_AUTO_START_INFO>()) {
                info->fDelayedAutostart = delayed;
            }
            break;
        case 8: // SERVICE_CONFIG_TRIGGER_INFO: a count, then two pointers
            if (auto* info = layout.take<DWORD>(3 * sizeof(void*) / sizeof(DWORD))) {
                std::memset(info, 0, 3 * sizeof(void*));
                *info = triggers;
            }
            break;
        default:
            return ERROR_INVALID_LEVEL;
        }
        needed = layout.used();
        return layout.fits() ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
    }

private:
    // Places pieces one after another while they fit; counts them all.
    class Layout {
    public:
        Layout(BYTE* buffer, DWORD size) : buffer_(buffer), size_(size) {}
        template <typename T> T* take(size_t count = 1) {
            used_ = (used_ + alignof(T) - 1) / alignof(T) * alignof(T);
            T* place = used_ + count * sizeof(T) <= size_ ? reinterpret_cast<T*>(buffer_ + used_)
                                                          : nullptr;
            used_ += count * sizeof(T);
            return place;
        }
        char* text(const std::string& value) {
            char* place = take<char>(value.size() + 1);
            if (place) {
                place[value.copy(place, value.size())] = '\0';
            }
            return place;
        }
        DWORD used() const { return static_cast<DWORD>(used_); }
        bool fits() const { return used_ <= size_; }

    private:
        BYTE* buffer_;
        size_t size_;
        size_t used_ = 0;
    };
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
    manager.failure.dwResetPeriod = 86400;
    manager.actions = {
        {SC_ACTION_RESTART, 60000}, {SC_ACTION_REBOOT, 0}, {SC_ACTION_RUN_COMMAND, 0}};
    manager.command = "C:\\x\\y.exe -a";
    manager.rebootMessage = "Going down";
    manager.delayed = TRUE;
    manager.triggers = 2;

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
    EXPECT_NE(row.cell(C::command).text.str().find("kelvane-test-service"), std::string::npos);
    EXPECT_GT(shared.table.rowCount(), 10u) << "every other service was read too";
}
