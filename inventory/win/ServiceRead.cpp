#include "inventory/win/ServiceRead.h"

#include "framework/Exception.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/ServiceColumns.h"
#include "inventory/win/ServiceEnumeration.h"

#include <set>

namespace kelvane {

namespace {

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

void readAllServices(const ReadContext& context, ReaderShared& shared) {
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
            TableRow row =
                buildServiceRow(context.texts, service,
                                configurationOf(context, configurations, service.serviceName),
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

} // namespace kelvane
