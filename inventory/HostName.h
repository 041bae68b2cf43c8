#pragma once
// Whether a computer name typed into the host field means this computer.
#include <string>

namespace kelvane {

// True for the local network name in any letter case, "localhost" and ".".
bool isLocalHost(const std::string& host, const std::string& localName);

} // namespace kelvane
