#include "shell/FileOps.h"

#include <random>

namespace kelvane {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool createFolderPath(const std::string& folder, FileOps& ops) {
    if (folder.empty()) {
        return true;
    }
    size_t at = 0;
    while (true) {
        const size_t slash = folder.find_first_of("/\\", at);
        const std::string level = folder.substr(0, slash);
        // A root ("/", "C:", "\\server\share" parts) needs no creating.
        const bool isRoot = level.empty() || (level.size() == 2 && level[1] == ':') ||
                            level.find_first_not_of("/\\") == std::string::npos;
        if (!isRoot && !ops.createFolder(level) && slash == std::string::npos) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
        at = slash + 1;
    }
}

namespace {

// Unique per writer, so that two programs closing at once do not write into
// one temporary file.
std::string temporaryName(const std::string& path) {
    static const char digits[] = "0123456789abcdef";
    std::random_device random;
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        suffix += digits[random() % 16];
    }
    return path + "." + suffix + ".tmp";
}

} // namespace

bool replaceFileContents(const std::string& path, std::string_view bytes, FileOps& ops) {
    const std::string temporary = temporaryName(path);
    std::unique_ptr<OutputFile> file = ops.createFile(temporary);
    if (!file) {
        return false;
    }
    constexpr size_t chunk = 64 * 1024;
    bool written = true;
    for (size_t at = 0; written && at < bytes.size(); at += chunk) {
        written = file->write(bytes.substr(at, chunk));
    }
    written = file->commit() && written;
    file.reset();
    if (!written || !ops.replaceFile(temporary, path)) {
        ops.removeFile(temporary);
        return false;
    }
    return true;
}

} // namespace kelvane
