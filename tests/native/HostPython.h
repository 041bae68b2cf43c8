#pragma once
// Debian's python3 (the one with xlrd), for tests that let a reader we did
// not write check a file the program wrote.
#include <cstdio>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace kelvane::test {

// Runs script with args; its output (stdout and stderr) in *output. The exit
// code, or -1 when it could not run.
inline int runPython(const std::string& script, const std::string& args, std::string* output) {
    const std::string scriptPath = "/tmp/kelvane-test-" + std::to_string(::getpid()) + ".py";
    std::ofstream(scriptPath) << script;
    const std::string command = "/usr/bin/python3 " + scriptPath + " " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return -1;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output->append(buffer, n);
    }
    const int status = ::pclose(pipe);
    std::remove(scriptPath.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace kelvane::test
