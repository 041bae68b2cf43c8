#include "shell/win/InstallerMutexes.h"

#include <windows.h>

namespace kelvane {

const char installerMutexName[] = "Trevolt-Kelvane";
const char globalInstallerMutexName[] = "Global\\Trevolt-Kelvane";

namespace {

void createOpenMutex(const char* name) {
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    // Deliberately kept open for the whole process: the handle is the marker.
    CreateMutexA(&attributes, FALSE, name);
}

} // namespace

void createInstallerMutexes() {
    createOpenMutex(installerMutexName);
    createOpenMutex(globalInstallerMutexName);
}

} // namespace kelvane
