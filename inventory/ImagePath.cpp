#include "inventory/ImagePath.h"

#include <cctype>

namespace kelvane {

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::optional<std::string> existingFile(const std::string& candidate, const PathProbe& probe) {
    if (candidate.empty()) {
        return std::nullopt;
    }
    auto found = probe.search(candidate);
    if (found && probe.isFile(*found)) {
        return found;
    }
    return std::nullopt;
}

} // namespace

std::string resolveImagePath(const std::string& commandLine, bool isLocal,
                             const std::string& windowsDir, const PathProbe& probe) {
    std::size_t begin = !commandLine.empty() && isBlank(commandLine[0]) ? 1 : 0;
    if (begin >= commandLine.size() || !isLocal) {
        return {};
    }
    std::string text = commandLine.substr(begin, maxCommandLineLength);
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }

    if (startsWith(text, "\\??\\")) {
        text.erase(0, 4);
    }
    if (startsWith(text, "\\systemroot\\")) {
        text.replace(0, 12, windowsDir + "\\");
    } else if (startsWith(text, "system32")) {
        text.insert(0, windowsDir + "\\");
    }

    if (!text.empty() && text[0] == '"') {
        // A quoted path is one name however many blanks it holds: the
        // manager would not start a shorter prefix of it either.
        std::size_t close = text.find('"', 1);
        std::string quoted =
            text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        return existingFile(quoted, probe).value_or(std::string());
    }

    // Blanks may belong to the path ("c:\program files\..."), so every
    // prefix that ends at a blank is tried, shortest first.
    for (std::size_t end = 0;; ++end) {
        if (end == text.size() || isBlank(text[end])) {
            if (auto found = existingFile(text.substr(0, end), probe)) {
                return *found;
            }
            if (end == text.size()) {
                return {};
            }
        }
    }
}

} // namespace kelvane
