#pragma once
// The deletions and renames the system carries out at the next restart, for
// tests that schedule some; what was pending before is put back.
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace kelvane::test {

class PendingOperations {
public:
    // The entries as lower-case strings.
    std::vector<std::string> entries() const {
        std::vector<std::string> result;
        std::istringstream raw(lowerCase(value_.bytes()));
        for (std::string entry; std::getline(raw, entry, '\0');) {
            result.push_back(entry);
        }
        return result;
    }

private:
    RegistryValueAside value_{HKEY_LOCAL_MACHINE,
                              "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                              "PendingFileRenameOperations"};
};

inline bool anyEntryEndsWith(const std::vector<std::string>& entries, const std::string& tail) {
    const std::string wanted = lowerCase(tail);
    return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return entry.size() >= wanted.size() &&
               entry.compare(entry.size() - wanted.size(), wanted.size(), wanted) == 0;
    });
}

} // namespace kelvane::test
