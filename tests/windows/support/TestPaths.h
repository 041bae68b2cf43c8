#pragma once
// Where the programs under test lie (beside the test executables), files the
// tests make, and running other programs.
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace kelvane::test {

// The folder of the running test executable, with a trailing backslash.
inline std::string binaryFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// kelvane.exe, the test service and the other helper programs.
inline std::string programPath(const std::string& exeName) {
    return binaryFolder() + exeName;
}

// A path in the temporary folder that no other test process uses.
inline std::string scratchPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "kelvane-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline bool pathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line, waits for it and returns its exit code; its output
// (stdout and stderr) goes into *output when given. -1 when it cannot start.
inline int runProcess(const std::string& commandLine, std::string* output = nullptr,
                      unsigned timeoutMs = 120000) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Plinth::UniqueHandleObject readEnd, writeEnd;
    STARTUPINFOA startup{sizeof startup};
    if (output) {
        if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) {
            return -1;
        }
        SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd.get();
        startup.hStdError = writeEnd.get();
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    Plinth::UniqueHandleObject processHandle(process.hProcess), threadHandle(process.hThread);
    writeEnd.reset();
    if (output) {
        output->clear();
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            output->append(buffer, read);
        }
    }
    if (WaitForSingleObject(processHandle.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 259);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(processHandle.get(), &code);
    return static_cast<int>(code);
}

// The host's path of a Windows path, for the Python checkers the tests start
// as host programs; empty outside Wine.
inline std::string unixPath(const std::string& windowsPath) {
    using ToUnix = char* (*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) {
        return {};
    }
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* path = toUnix(wide.c_str());
    std::string result = path ? path : "";
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

} // namespace kelvane::test
