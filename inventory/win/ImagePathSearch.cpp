#include "inventory/win/ImagePathSearch.h"

#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <cctype>
#include <cstring>

namespace kelvane {

std::optional<std::string> Win32PathProbe::search(const std::string& candidate) const {
    char found[MAX_PATH];
    DWORD length = SearchPathA(nullptr, candidate.c_str(), ".exe", MAX_PATH, found, nullptr);
    // A longer answer than the buffer holds leaves the buffer unfilled.
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    return std::string(found, strnlen(found, length));
}

bool Win32PathProbe::isFile(const std::string& path) const {
    WIN32_FIND_DATAA data;
    Plinth::UniqueFindHandle find(FindFirstFileA(path.c_str(), &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string resolveImagePath(const std::string& commandLine, bool isLocal,
                             const std::string& windowsDir) {
    return resolveImagePath(commandLine, isLocal, windowsDir, Win32PathProbe());
}

std::string lowerCaseWindowsDirectory() {
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string dir(buffer, length);
    for (char& c : dir) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return dir;
}

} // namespace kelvane
