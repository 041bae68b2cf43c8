#pragma once
// HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\Services", opened with read
// access for the run of the main window. The reader takes each service's key
// time through it and the registry watcher watches it.
#include <windows.h>

namespace kelvane {

extern const char servicesKeyPath[];

// Opens the key; false when that fails.
bool openServiceDatabaseKey();
void closeServiceDatabaseKey();
// Null while the key is not open.
HKEY serviceDatabaseKey();

} // namespace kelvane
