#include "tests/windows/support/Registry.h"

#include "tests/windows/support/TestPaths.h"

#include <sstream>

namespace kelvane::test {

std::map<std::string, std::string> serviceValues(const std::string& name) {
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
