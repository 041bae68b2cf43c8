#pragma once
// A service's registry values read back through Wine's reg.exe.
#include "tests/windows/support/TestPaths.h"

#include <map>
#include <sstream>
#include <string>

namespace kelvane::test {

// The values under HKLM\SYSTEM\CurrentControlSet\Services\NAME as
// "reg.exe query" lists them, name to data ("0x3" for a number); empty when
// the key does not exist.
inline std::map<std::string, std::string> serviceValues(const std::string& name) {
    std::string output;
    std::map<std::string, std::string> values;
    if (runProcess("reg.exe query \"HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name + "\"",
                   &output) != 0) {
        return values;
    }
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        // "    Name    REG_TYPE    data"
        const size_t type = line.find("    REG_", 4);
        if (line.rfind("    ", 0) != 0 || type == std::string::npos) {
            continue;
        }
        const size_t data = line.find("    ", type + 4);
        std::string value = data == std::string::npos ? "" : line.substr(data + 4);
        if (!value.empty() && value.back() == '\r') {
            value.pop_back();
        }
        values[line.substr(4, type - 4)] = value;
    }
    return values;
}

} // namespace kelvane::test
