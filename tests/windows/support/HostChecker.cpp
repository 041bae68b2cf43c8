#include "tests/windows/support/HostChecker.h"

#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/win/UniqueHandle.h"

#include <windows.h>

namespace kelvane::test {

std::string runHostChecker(const std::string& script, const std::vector<std::string>& arguments) {
    static int checks = 0;
    const std::string scriptFile = scratchPath("check-" + std::to_string(++checks) + ".py");
    const std::string result = scriptFile + ".result";
    writeBytes(scriptFile, script);
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
        if (waitUntil([&] { return pathExists(result); }, 180000)) {
            verdict = fileBytes(result);
        }
    }
    DeleteFileA(scriptFile.c_str());
    DeleteFileA(result.c_str());
    return verdict;
}

} // namespace kelvane::test
