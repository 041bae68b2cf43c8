#pragma once
// The deletions and renames the system carries out at the next restart, for
// tests that schedule some; what was pending before is put back.
#include <windows.h>

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
    PendingOperations() : saved_(read(&type_)) {}
    ~PendingOperations() {
        if (type_ == REG_NONE) {
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, value);
        } else {
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, value, type_, saved_.data(),
                            static_cast<DWORD>(saved_.size()));
        }
    }
    PendingOperations(const PendingOperations&) = delete;
    PendingOperations& operator=(const PendingOperations&) = delete;

    // The entries as lower-case strings.
    std::vector<std::string> entries() const {
        const std::string raw = lowerCase(read());
        std::vector<std::string> result;
        for (size_t start = 0, end; start < raw.size(); start = end + 1) {
            end = std::min(raw.find('\0', start), raw.size());
            result.push_back(raw.substr(start, end - start));
        }
        return result;
    }

private:
    static constexpr const char* key = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    static constexpr const char* value = "PendingFileRenameOperations";

    // The value's bytes and type; empty and REG_NONE when there is none.
    static std::string read(DWORD* type = nullptr) {
        DWORD size = 0;
        std::string data;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key, value, RRF_RT_ANY | RRF_NOEXPAND, type, nullptr,
                         &size) != ERROR_SUCCESS) {
            if (type) {
                *type = REG_NONE;
            }
            return data;
        }
        data.resize(size);
        RegGetValueA(HKEY_LOCAL_MACHINE, key, value, RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                     data.data(), &size);
        data.resize(size);
        return data;
    }

    DWORD type_ = REG_NONE;
    std::string saved_;
};

inline bool anyEntryEndsWith(const std::vector<std::string>& entries, const std::string& tail) {
    const std::string wanted = lowerCase(tail);
    return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return entry.size() >= wanted.size() &&
               entry.compare(entry.size() - wanted.size(), wanted.size(), wanted) == 0;
    });
}

} // namespace kelvane::test
