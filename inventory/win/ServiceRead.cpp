#include "inventory/win/ServiceRead.h"

#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/NeededBy.h"
#include "inventory/ServiceColumns.h"
#include "inventory/win/ImagePathSearch.h"
#include "inventory/win/ServiceEnumeration.h"

#include <map>
#include <set>

namespace kelvane {

namespace {

bool isGoneError(std::uint32_t code) {
    return code == ERROR_SERVICE_DOES_NOT_EXIST || code == ERROR_SERVICE_MARKED_FOR_DELETE;
}

struct ServiceDetails {
    std::optional<ServiceConfiguration> configuration;
    ServiceExtras extras;
};

ServiceDetails detailsOf(const ReadContext& context, ConfigurationReader& configurations,
                         ExtrasReader& extras, const std::string& name) {
    Plinth::UniqueServiceHandle service(
        OpenServiceA(context.manager, name.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) {
        DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED) {
            return {};
        }
        throw Plinth::SDKException(error);
    }
    ServiceDetails details;
    details.configuration = configurations.read(service.get());
    if (details.configuration && context.resolveImagePath) {
        details.configuration->binaryPath =
            context.resolveImagePath(details.configuration->command);
    }
    details.extras =
        extras.read(service.get(), details.configuration &&
                                       details.configuration->startType == SERVICE_AUTO_START);
    return details;
}

} // namespace

void readAllServices(const ReadContext& context, ReaderState& shared) {
    using C = ServiceColumns;
    std::set<SharedText> notSeen;
    // What the previous read found; a row keeps it until the end of this
    // read has looked at every dependency again.
    std::map<SharedText, TableCell> neededBy;
    {
        std::lock_guard<std::recursive_mutex> guard(shared.lock);
        ServiceTable::Lock tableLock = shared.table.lock();
        for (const auto& [key, row] : shared.table.rows()) {
            notSeen.insert(row.cell(C::serviceName).text);
            neededBy.emplace(row.cell(C::serviceName).text, row.cell(C::neededBy));
        }
    }

    ServiceEnumerator enumerator;
    ConfigurationReader configurations(context.configSource);
    ExtrasReader extras(context.configSource, context.resolveIndirectText);
    for (DWORD state : {SERVICE_ACTIVE, SERVICE_INACTIVE}) {
        enumerator.enumerate(context.manager, state, [&](const EnumeratedService& service) {
            ServiceDetails details;
            try {
                details = detailsOf(context, configurations, extras, service.serviceName);
            } catch (const Plinth::SDKException& e) {
                // Deleted after the enumeration listed it: the service is gone,
                // which is no reason to fail the read of all the others.
                if (isGoneError(e.code())) {
                    return;
                }
                throw;
            }
            TableRow row = buildServiceRow(
                context.texts, service, details.configuration,
                serviceKeyTimeText(context.servicesKey, service.serviceName), details.extras);
            SharedText name = row.cell(C::serviceName).text;
            const auto known = neededBy.find(name);
            if (known != neededBy.end()) {
                row.cells[C::neededBy] = known->second;
            }
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
    updateNeededBy(shared.table);
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
    if (isLocal) {
        context.resolveIndirectText = resolveIndirectText;
    }
    readAllServices(context, shared);
}

} // namespace kelvane
