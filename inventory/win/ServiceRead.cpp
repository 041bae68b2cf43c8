#include "inventory/win/ServiceRead.h"

#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/ServiceColumns.h"
#include "inventory/win/ImagePathSearch.h"
#include "inventory/win/ServiceEnumeration.h"

#include <set>

namespace kelvane {

namespace {

bool isGoneError(std::uint32_t code) {
    return code == ERROR_SERVICE_DOES_NOT_EXIST || code == ERROR_SERVICE_MARKED_FOR_DELETE;
}

std::optional<ServiceConfiguration>
configurationOf(const ReadContext& context, ConfigurationReader& reader, const std::string& name) {
    Plinth::UniqueServiceHandle service(
        OpenServiceA(context.manager, name.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) {
        DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED) {
            return std::nullopt;
        }
        throw Plinth::SDKException(error);
    }
    std::optional<ServiceConfiguration> configuration = reader.read(service.get());
    if (configuration && context.resolveImagePath) {
        configuration->binaryPath = context.resolveImagePath(configuration->command);
    }
    return configuration;
}

} // namespace

void readAllServices(const ReadContext& context, ReaderState& shared) {
    std::set<SharedText> notSeen;
    {
        std::lock_guard<std::recursive_mutex> guard(shared.lock);
        ServiceTable::Lock tableLock = shared.table.lock();
        for (const auto& [key, row] : shared.table.rows()) {
            notSeen.insert(row.cell(ServiceColumns::serviceName).text);
        }
    }

    ServiceEnumerator enumerator;
    ConfigurationReader configurations;
    for (DWORD state : {SERVICE_ACTIVE, SERVICE_INACTIVE}) {
        enumerator.enumerate(context.manager, state, [&](const EnumeratedService& service) {
            std::optional<ServiceConfiguration> configuration;
            try {
                configuration = configurationOf(context, configurations, service.serviceName);
            } catch (const Plinth::SDKException& e) {
                // Deleted after the enumeration listed it: the service is gone,
                // which is no reason to fail the read of all the others.
                if (isGoneError(e.code())) {
                    return;
                }
                throw;
            }
            TableRow row =
                buildServiceRow(context.texts, service, configuration,
                                serviceKeyTimeText(context.servicesKey, service.serviceName));
            SharedText name = row.cell(ServiceColumns::serviceName).text;
            {
                std::lock_guard<std::recursive_mutex> guard(shared.lock);
                shared.table.addRow(std::move(row));
                shared.newData = true;
            }
            notSeen.erase(name);
        });
    }

    std::lock_guard<std::recursive_mutex> guard(shared.lock);
    for (const SharedText& name : notSeen) {
        shared.table.removeRow({name});
    }
    shared.newData = true;
}

void readComputer(HostInfo& hostInfo, HKEY servicesKey, ReaderState& shared,
                  const ManagerOpener& openManager) {
    ScmConnection connection;
    try {
        const DWORD rights = SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE;
        if (openManager) {
            openManager(connection, hostInfo.host, rights);
        } else {
            connection.openManager(hostInfo.host, rights);
        }
    } catch (...) {
        // The list must not go on showing a computer that cannot be read.
        std::lock_guard<std::recursive_mutex> guard(shared.lock);
        shared.table.removeAllRows();
        shared.newData = true;
        throw;
    }
    classifyHost(hostInfo);

    ReadContext context;
    context.manager = connection.manager();
    context.servicesKey = servicesKey;
    context.texts = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    const bool isLocal = hostInfo.isLocal;
    const std::string windowsDir = hostInfo.windowsDir;
    context.resolveImagePath = [isLocal, windowsDir](const std::string& command) {
        return resolveImagePath(command, isLocal, windowsDir);
    };
    readAllServices(context, shared);
}

} // namespace kelvane
