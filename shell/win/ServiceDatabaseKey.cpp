#include "shell/win/ServiceDatabaseKey.h"

#include "framework/win/UniqueHandle.h"

namespace kelvane {

const char servicesKeyPath[] = "SYSTEM\\CurrentControlSet\\Services";

namespace {
Plinth::UniqueKey servicesKey;
}

bool openServiceDatabaseKey() {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, servicesKeyPath, 0, KEY_READ, servicesKey.put()) ==
           ERROR_SUCCESS;
}

void closeServiceDatabaseKey() { servicesKey.reset(); }

HKEY serviceDatabaseKey() { return servicesKey.get(); }

} // namespace kelvane
