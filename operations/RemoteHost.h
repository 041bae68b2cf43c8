#pragma once
// The rules of connecting to another computer that need no platform.
#include <string>

namespace kelvane {

// The inter-process share of host that an authenticated connection is made to.
std::string ipcShareName(const std::string& host);

// The user name the "Connect as" dialog starts with: the configured one, else
// the name the platform gave for the current user (when it gave one), except
// "SYSTEM", which cannot log on to another computer.
std::string offeredUserName(const std::string& configured, bool platformAnswered,
                            const std::string& currentUser);

} // namespace kelvane
