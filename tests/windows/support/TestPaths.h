#pragma once
// Where the programs under test lie (beside the test executables), files the
// tests make, running other programs and waiting for what they do.
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

namespace kelvane::test {

// The folder of the running test executable, with a trailing backslash.
inline std::string binaryFolder() {
    char path[MAX_PATH] = {};
    const std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
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

// Windows paths compare without regard to case.
inline std::string lowerCase(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

inline bool pathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls condition every 50 ms until it holds or timeoutMs has passed.
inline bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs = 30000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !condition(); Sleep(50)) {
        if (GetTickCount64() >= end) {
            return false;
        }
    }
    return true;
}

// Starts a command line and returns its process; none when it cannot start.
// Wine starts host programs (/usr/bin/...) with a null process handle.
inline std::optional<Plinth::UniqueHandleObject>
startProgram(std::string commandLine, STARTUPINFOA startup = {sizeof(STARTUPINFOA)},
             BOOL inheritHandles = FALSE) {
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                        nullptr, &startup, &process)) {
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    return Plinth::UniqueHandleObject(process.hProcess);
}

// Runs a command line, waits for it and returns its exit code; its output
// (stdout and stderr) goes into *output when given. -1 when it cannot start.
inline int runProcess(const std::string& commandLine, std::string* output = nullptr,
                      unsigned timeoutMs = 120000) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Plinth::UniqueHandleObject readEnd, writeEnd;
    STARTUPINFOA startup{sizeof startup};
    if (output) {
        output->clear();
        CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0);
        SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = writeEnd.get();
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    Plinth::UniqueHandleObject process = startProgram(commandLine, startup, output != nullptr)
                                             .value_or(Plinth::UniqueHandleObject());
    writeEnd.reset();
    char buffer[4096];
    DWORD read = 0;
    while (process && output && ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) &&
           read > 0) {
        output->append(buffer, read);
    }
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 259);
        return -1;
    }
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

// The host's path of a Windows path, for the Python checkers the tests start
// as host programs; empty outside Wine.
inline std::string unixPath(const std::string& windowsPath) {
    using ToUnix = char* (*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* path = toUnix ? toUnix(wide.c_str()) : nullptr;
    const std::string result = path ? path : "";
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

} // namespace kelvane::test
