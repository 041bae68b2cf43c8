#pragma once
// Registry values read back through Wine's reg.exe, and values set aside for
// one test and put back afterwards.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace kelvane::test {

// The values of a key as "reg.exe query KEY" lists them ("HKLM\\..."), name
// to data ("0x3" for a number); empty when the key does not exist.
std::map<std::string, std::string> regQuery(const std::string& key);

// The service's values under HKLM\SYSTEM\CurrentControlSet\Services.
std::map<std::string, std::string> serviceValues(const std::string& name);

// Keeps a value as it is now and puts it back (or deletes it, when there
// was none) when the test ends.
class RegistryValueAside {
public:
    RegistryValueAside(HKEY root, std::string key, std::string name);
    ~RegistryValueAside();
    RegistryValueAside(const RegistryValueAside&) = delete;
    RegistryValueAside& operator=(const RegistryValueAside&) = delete;

    // The value's bytes now; empty when there is none.
    std::string bytes() const;
    void set(DWORD type, const std::string& bytes) const;

private:
    HKEY root_;
    std::string key_, name_, saved_;
    DWORD type_ = REG_NONE;
};

} // namespace kelvane::test
