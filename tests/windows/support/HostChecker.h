#pragma once
// Checks of written files by a host program we did not write: Debian's
// /usr/bin/python3 with its readers (csv, xlrd, olefile). Wine starts host
// programs without a handle to wait on, so the checker writes its verdict
// into a result file by an atomic rename, and the test waits for the file.
#include <string>
#include <vector>

namespace kelvane::test {

// Runs script with the arguments (host paths where it reads files: see
// unixPath) and the host path of the result file last; the script writes
// "OK" or what it found wrong to argv[-1] + ".tmp" and renames it to
// argv[-1]. The verdict, or why there is none.
std::string runHostChecker(const std::string& script, const std::vector<std::string>& arguments);

} // namespace kelvane::test
