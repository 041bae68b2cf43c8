#pragma once
// A service's registry values read back through Wine's reg.exe.
#include <map>
#include <string>

namespace kelvane::test {

// The values under HKLM\SYSTEM\CurrentControlSet\Services\NAME as
// "reg.exe query" lists them, name to data ("0x3" for a number); empty when
// the key does not exist.
std::map<std::string, std::string> serviceValues(const std::string& name);

} // namespace kelvane::test
