#include "shell/PostUpdateRule.h"

#include <cctype>

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

} // namespace kelvane
