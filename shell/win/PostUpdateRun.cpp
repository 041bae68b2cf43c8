#include "shell/win/PostUpdateRun.h"

#include "framework/win/UniqueHandle.h"
#include "shell/PostUpdateRule.h"

#include <windows.h>

namespace kelvane {

namespace {

std::string temporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string readFirstLine(const std::string& path) {
    Plinth::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return {};
    }
    char buffer[MAX_PATH + 2];
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
        return {};
    }
    return handOverLine(std::string(buffer, read));
}

} // namespace

std::string handOverFilePath() {
    return temporaryFolder() + "kelvane" + ".tmp";
}

int runPostUpdateCleanUp() {
    std::string handOver = handOverFilePath();
    std::string named = readFirstLine(handOver);
    if (named.empty()) {
        return 1;
    }
    DeleteFileA(handOver.c_str());
    // Another program may have written the hand-over file: an elevated run
    // must not delete anything but a downloaded setup, in its download folder
    // or, as earlier versions left it, directly in the temporary folder.
    const std::string temporary = temporaryFolder();
    const std::string folder = setupDownloadFolderOf(named, temporary);
    if (folder.empty() && !liesDirectlyInFolder(named, temporary)) {
        return 1;
    }
    if (!MoveFileExA(named.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        return 1;
    }
    // Scheduled after the file, so the folder is empty when its turn comes.
    if (!folder.empty()) {
        MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return 0;
}

} // namespace kelvane
