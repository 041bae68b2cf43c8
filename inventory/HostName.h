#pragma once
// Whether a computer name typed into the host field means this computer.
#include <string>

namespace kelvane {

// Computer names are the same in any letter case.
bool sameHostName(const std::string& a, const std::string& b);

// True for the local network name in any letter case, "localhost" and ".".
bool isLocalHost(const std::string& host, const std::string& localName);

} // namespace kelvane
