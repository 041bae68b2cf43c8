#pragma once
// The user's folders that the settings and the caches live in.
#include <string>

namespace kelvane {

// The shell's local application-data folder; empty when it cannot tell.
std::string localAppDataFolder();

} // namespace kelvane
