#include "tests/windows/support/Registry.h"

#include "tests/windows/support/TestPaths.h"

#include <sstream>

namespace kelvane::test {

std::map<std::string, std::string> regQuery(const std::string& key) {
    std::string output;
    std::map<std::string, std::string> values;
    if (runProcess("reg.exe query \"" + key + "\"", &output) != 0) {
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

std::map<std::string, std::string> serviceValues(const std::string& name) {
    return regQuery("HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name);
}

RegistryValueAside::RegistryValueAside(HKEY root, std::string key, std::string name)
    : root_(root), key_(std::move(key)), name_(std::move(name)), saved_(bytes()) {
    DWORD type = REG_NONE, size = 0;
    if (RegGetValueA(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) == ERROR_SUCCESS) {
        type_ = type;
    }
}

RegistryValueAside::~RegistryValueAside() {
    if (type_ == REG_NONE) {
        RegDeleteKeyValueA(root_, key_.c_str(), name_.c_str());
    } else {
        set(type_, saved_);
    }
}

std::string RegistryValueAside::bytes() const {
    DWORD size = 0;
    if (RegGetValueA(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                     nullptr, &size) != ERROR_SUCCESS) {
        return {};
    }
    std::string data(size, '\0');
    RegGetValueA(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, nullptr, &data[0],
                 &size);
    data.resize(size);
    return data;
}

void RegistryValueAside::set(DWORD type, const std::string& bytes) const {
    RegSetKeyValueA(root_, key_.c_str(), name_.c_str(), type, bytes.data(),
                    static_cast<DWORD>(bytes.size()));
}

} // namespace kelvane::test
