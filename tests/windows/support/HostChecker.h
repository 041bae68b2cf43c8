#pragma once
// Checks of written files by a host program we did not write: Debian's
// /usr/bin/python3 with its readers (csv, xlrd, olefile). Wine starts host
// programs without a handle to wait on, so the checker writes its verdict
// into a result file by an atomic rename, and the test waits for the file.
#include "framework/win/UniqueHandle.h"
#include "tests/windows/support/TestPaths.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kelvane::test {

// Runs script with the arguments (host paths where it reads files: see
// unixPath) and the host path of the result file last; the script writes
// "OK" or what it found wrong to argv[-1] + ".tmp" and renames it to
// argv[-1]. The verdict, or why there is none.
inline std::string runHostChecker(const std::string& script,
                                  const std::vector<std::string>& arguments) {
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
    if (!startProgram(command)) {
        verdict = "cannot start the checker: " + std::to_string(GetLastError());
    } else if (waitUntil([&] { return pathExists(result); }, 180000)) {
        verdict = fileBytes(result);
    }
    DeleteFileA(scriptFile.c_str());
    DeleteFileA(result.c_str());
    return verdict;
}

} // namespace kelvane::test
