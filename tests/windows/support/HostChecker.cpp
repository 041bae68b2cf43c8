#include "tests/windows/support/HostChecker.h"

#include "tests/windows/support/TestPaths.h"

#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace kelvane::test {

namespace {

std::string tempFile(const std::string& suffix) {
    static int counter = 0;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "kelvane-check-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + suffix;
}

} // namespace

std::string runHostChecker(const std::string& script, const std::vector<std::string>& arguments) {
    const std::string scriptFile = tempFile(".py");
    const std::string result = tempFile(".result");
    std::ofstream(scriptFile, std::ios::binary) << script;
    std::string command = "/usr/bin/python3 " + unixPath(scriptFile);
    for (const std::string& argument : arguments) {
        command += " \"" + argument + "\"";
    }
    command += " " + unixPath(result);

    std::string verdict = "no verdict from the checker";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        verdict = "cannot start the checker: " + std::to_string(GetLastError());
    } else {
        Plinth::UniqueHandleObject processHandle(process.hProcess), thread(process.hThread);
        for (int i = 0; i < 1800; ++i) {
            std::ifstream in(result, std::ios::binary);
            if (in) {
                std::stringstream text;
                text << in.rdbuf();
                verdict = text.str();
                break;
            }
            Sleep(100);
        }
    }
    DeleteFileA(scriptFile.c_str());
    DeleteFileA(result.c_str());
    return verdict;
}

} // namespace kelvane::test
