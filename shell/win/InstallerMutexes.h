#pragma once
// The two named mutexes that tell an installer the program is running.
namespace kelvane {

extern const char installerMutexName[];       // "Trevolt-Kelvane"
extern const char globalInstallerMutexName[]; // "Global\Trevolt-Kelvane"

// Creates both, not owned, with a null access list so that any user's process
// can open them. They stay open until the process ends.
void createInstallerMutexes();

} // namespace kelvane
