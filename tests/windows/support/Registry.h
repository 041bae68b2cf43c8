#pragma once
// Registry values read back through Wine's reg.exe, and values set aside for
// one test and put back afterwards.
#include "tests/windows/support/TestPaths.h"

#include <windows.h>

#include <map>
#include <sstream>
#include <string>

namespace kelvane::test {

// The values under KEY ("HKLM\\...") as "reg.exe query" lists them, name to
// data ("0x3" for a number); empty when the key does not exist.
inline std::map<std::string, std::string> regQuery(const std::string& key) {
    std::string output;
    runProcess("reg.exe query \"" + key + "\"", &output);
    std::map<std::string, std::string> values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        // "    Name    REG_TYPE    data"
        line.erase(line.find_last_not_of('\r') + 1);
        const size_t type = line.find("    REG_", 4);
        if (line.rfind("    ", 0) == 0 && type != std::string::npos) {
            const size_t data = line.find("    ", type + 4);
            values[line.substr(4, type - 4)] =
                data == std::string::npos ? "" : line.substr(data + 4);
        }
    }
    return values;
}

inline std::map<std::string, std::string> serviceValues(const std::string& name) {
    return regQuery("HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name);
}

// Puts the value back as it was (or removes it) when the test ends.
class RegistryValueAside {
public:
    RegistryValueAside(HKEY root, std::string key, std::string name)
        : root_(root), key_(std::move(key)), name_(std::move(name)), saved_(bytes(&type_)) {}
    ~RegistryValueAside() {
        if (type_ == REG_NONE) {
            RegDeleteKeyValueA(root_, key_.c_str(), name_.c_str());
        } else {
            set(type_, saved_);
        }
    }
    RegistryValueAside(const RegistryValueAside&) = delete;
    RegistryValueAside& operator=(const RegistryValueAside&) = delete;

    // The value's bytes; empty, with the type REG_NONE, when there is none.
    std::string bytes(DWORD* type = nullptr) const {
        DWORD found = REG_NONE;
        std::string data(1 << 20, '\0');
        DWORD size = static_cast<DWORD>(data.size());
        if (RegGetValueA(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &found,
                         data.data(), &size) != ERROR_SUCCESS) {
            found = REG_NONE;
            size = 0;
        }
        data.resize(size);
        if (type) {
            *type = found;
        }
        return data;
    }
    void set(DWORD type, const std::string& bytes) const {
        RegSetKeyValueA(root_, key_.c_str(), name_.c_str(), type, bytes.data(),
                        static_cast<DWORD>(bytes.size()));
    }

private:
    HKEY root_;
    std::string key_, name_;
    DWORD type_ = REG_NONE;
    std::string saved_;
};

} // namespace kelvane::test
