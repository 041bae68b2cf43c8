#pragma once
// The pending deletions and renames that the system carries out at the next
// restart, read back for tests that schedule some.
#include "framework/win/UniqueHandle.h"

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

// The pending deletions and renames that the system carries out at the next
// restart; the test puts back what was there before.
class PendingOperations {
public:
    PendingOperations() { saved_ = read(&existed_); }
    ~PendingOperations() {
        Plinth::UniqueKey key = open();
        if (!key) {
            return;
        }
        if (existed_) {
            RegSetValueExA(key.get(), valueName, 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>(saved_.data()),
                           static_cast<DWORD>(saved_.size()));
        } else {
            RegDeleteValueA(key.get(), valueName);
        }
    }
    // The entries as lower-case strings.
    std::vector<std::string> entries() const {
        bool existed = false;
        std::string raw = read(&existed);
        std::vector<std::string> result;
        for (size_t start = 0; start < raw.size();) {
            size_t end = raw.find('\0', start);
            if (end == std::string::npos) {
                end = raw.size();
            }
            result.push_back(lowerCase(raw.substr(start, end - start)));
            start = end + 1;
        }
        return result;
    }

private:
    static constexpr const char* valueName = "PendingFileRenameOperations";
    static Plinth::UniqueKey open() {
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
        return Plinth::UniqueKey(key);
    }
    static std::string read(bool* existed) {
        Plinth::UniqueKey key = open();
        DWORD size = 0;
        *existed = key && RegQueryValueExA(key.get(), valueName, nullptr, nullptr, nullptr,
                                           &size) == ERROR_SUCCESS;
        std::string data(size, '\0');
        if (*existed && size > 0) {
            RegQueryValueExA(key.get(), valueName, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&data[0]), &size);
            data.resize(size);
        }
        return data;
    }
    std::string saved_;
    bool existed_ = false;
};

inline bool anyEntryEndsWith(const std::vector<std::string>& entries, const std::string& tail) {
    std::string wanted = lowerCase(tail);
    return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return entry.size() >= wanted.size() &&
               entry.compare(entry.size() - wanted.size(), wanted.size(), wanted) == 0;
    });
}

} // namespace kelvane::test
