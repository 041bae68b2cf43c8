#pragma once
// The deletions and renames the system carries out at the next restart, for
// tests that schedule some; what was pending before is put back.
#include "tests/windows/support/Registry.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace kelvane::test {

inline std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class PendingOperations {
public:
    // The entries as lower-case strings.
    std::vector<std::string> entries() const {
        const std::string raw = lowerCase(value_.bytes());
        std::vector<std::string> result;
        for (size_t start = 0, end; start < raw.size(); start = end + 1) {
            end = std::min(raw.find('\0', start), raw.size());
            result.push_back(raw.substr(start, end - start));
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
