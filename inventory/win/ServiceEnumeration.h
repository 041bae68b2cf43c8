#pragma once
// The platform calls of one read: the enumeration of every service and
// driver in one state, a service's configuration, and its key's change time.
#include "inventory/RowBuilder.h"
#include "inventory/win/ServiceConfigSource.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// The services of one state (SERVICE_ACTIVE or SERVICE_INACTIVE), every
// driver and service type, in the order the manager returns them. Uses
// EnumServicesStatusExA when the system has it, else the older call without
// process ids. The buffer grows to what the manager asks for and is kept for
// the next call. Raises SDKException on failure.
class ServiceEnumerator {
public:
    void enumerate(SC_HANDLE manager, DWORD state,
                   const std::function<void(const EnumeratedService&)>& each);

private:
    std::vector<BYTE> buffer_;
};

// The configuration of an open service (query-configuration access), in a
// buffer that grows as asked and is reused. Nothing when access is denied;
// any other failure raises SDKException. The image path is left for the
// caller to resolve from the command.
class ConfigurationReader {
public:
    // source: nullptr for the system's.
    explicit ConfigurationReader(ServiceConfigSource* source = nullptr)
        : source_(configSourceOr(source)) {}

    std::optional<ServiceConfiguration> read(SC_HANDLE service);

private:
    ServiceConfigSource& source_;
    std::vector<BYTE> buffer_;
};

// The last write time of the service's subkey of the services key, as the
// list shows it; empty when the subkey cannot be opened or read.
std::string serviceKeyTimeText(HKEY servicesKey, const std::string& serviceName);

} // namespace kelvane
