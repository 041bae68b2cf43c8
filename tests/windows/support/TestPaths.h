#pragma once
// Where the programs under test lie (beside the test executables), files the
// tests make, and running other programs.
#include <string>

namespace kelvane::test {

// The folder of the running test executable, with a trailing backslash.
std::string binaryFolder();
// kelvane.exe, the test service and the other helper programs.
std::string programPath(const std::string& exeName);
// A path in the temporary folder that no other test process uses.
std::string scratchPath(const std::string& name);

std::string fileBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool pathExists(const std::string& path);

// The host's path of a Windows path, for the Python checkers the tests start
// as host programs; empty outside Wine.
std::string unixPath(const std::string& windowsPath);

// Runs a command line, waits for it and returns its exit code; its output
// (stdout and stderr) goes into *output when given. -1 when it cannot start.
int runProcess(const std::string& commandLine, std::string* output = nullptr,
               unsigned timeoutMs = 120000);

} // namespace kelvane::test
