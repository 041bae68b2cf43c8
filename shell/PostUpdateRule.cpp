#include "shell/PostUpdateRule.h"

#include "update/SetupSource.h"

#include <cctype>
#include <string_view>

namespace kelvane {

namespace {

char normalised(char c) {
    if (c == '/') {
        return '\\';
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

std::string handOverLine(const std::string& content) {
    size_t end = content.find_first_of("\r\n");
    std::string line = content.substr(0, end);
    if (line.size() > 260) {
        line.resize(260);
    }
    return line;
}

bool liesDirectlyInFolder(const std::string& path, const std::string& folder) {
    std::string prefix;
    for (char c : folder) {
        prefix += normalised(c);
    }
    if (prefix.empty()) {
        return false;
    }
    if (prefix.back() != '\\') {
        prefix += '\\';
    }
    if (path.size() <= prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (normalised(path[i]) != prefix[i]) {
            return false;
        }
    }
    std::string name = path.substr(prefix.size());
    // The platform drops trailing dots and blanks, so "..", ". ." and the
    // like would name the folder itself or its parent.
    if (name.find_first_not_of(". ") == std::string::npos) {
        return false;
    }
    return name.find_first_of("\\/:") == std::string::npos;
}

std::string setupDownloadFolderOf(const std::string& path, const std::string& temporaryFolder) {
    size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) {
        return {};
    }
    std::string folder = path.substr(0, separator);
    std::string name = folder.substr(folder.find_last_of("\\/") + 1);
    const std::string_view prefix = setupFolderPrefix;
    bool ownName = name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                   name.find_first_not_of("0123456789abcdef", prefix.size()) == std::string::npos;
    if (!ownName || !liesDirectlyInFolder(path, folder) ||
        !liesDirectlyInFolder(folder, temporaryFolder)) {
        return {};
    }
    return folder;
}

} // namespace kelvane
