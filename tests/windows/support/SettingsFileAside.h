#pragma once
// Moves the user's settings file out of the way for one test and puts it
// back afterwards, so tests that run the program with its settings neither
// see nor change the real ones.
#include "shell/Settings.h"
#include "shell/win/UserFolders.h"
#include "tests/windows/support/TestPaths.h"

#include <windows.h>

#include <string>

namespace kelvane::test {

class SettingsFileAside {
public:
    SettingsFileAside()
        : path_(settingsFilePath(localAppDataFolder())), saved_(path_ + ".test-saved") {
        MoveFileExA(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~SettingsFileAside() {
        DeleteFileA(path_.c_str());
        MoveFileExA(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    SettingsFileAside(const SettingsFileAside&) = delete;
    SettingsFileAside& operator=(const SettingsFileAside&) = delete;

    const std::string& path() const { return path_; }
    bool exists() const { return pathExists(path_); }

private:
    std::string path_;
    std::string saved_;
};

} // namespace kelvane::test
