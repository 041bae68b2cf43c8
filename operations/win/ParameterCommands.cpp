#include "operations/win/ParameterCommands.h"

#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "operations/win/ScmConnection.h"
#include "operations/win/ServiceParametersDialog.h"

#include <functional>

namespace kelvane {

namespace {

constexpr unsigned installedText = 171, changedText = 179;

void runParameters(CommandHost& host, ServiceParameters record, unsigned successText,
                   const std::function<void(ScmConnection&, const ServiceParameters&)>& apply) {
    for (;;) {
        ServiceParametersDialog dialog(record);
        if (dialog.run(host.window()) != IDOK) {
            return;
        }
        record = dialog.record();
        try {
            ScmConnection connection;
            apply(connection, record);
        } catch (const Plinth::Exception& e) {
            Plinth::showException(e, host.window());
            continue;
        }
        host.refreshList();
        host.writeStatus(Plinth::loadString(successText));
        return;
    }
}

} // namespace

void createServiceCommand(CommandHost& host) {
    const std::string computer = host.hostName();
    runParameters(host, ServiceParameters{}, installedText,
                  [&computer](ScmConnection& connection, const ServiceParameters& record) {
                      connection.createService(computer, record.name, record.command.c_str(),
                                               record.displayName.c_str(), record.serviceType,
                                               record.startType, nullptr, nullptr,
                                               record.account.c_str(), record.password.c_str());
                  });
}

void editServiceCommand(CommandHost& host, const ServiceEntry& entry) {
    const std::string computer = host.hostName();
    const auto originalType = static_cast<std::uint32_t>(entry.type);
    runParameters(
        host, parametersFromEntry(entry), changedText,
        [&computer, originalType](ScmConnection& connection, const ServiceParameters& record) {
            connection.changeConfig(
                computer, record.name, record.command.c_str(), record.displayName.c_str(),
                typeToStore(originalType, record.serviceType), record.startType, nullptr, nullptr,
                record.account.c_str(), record.password.c_str());
        });
}

} // namespace kelvane
