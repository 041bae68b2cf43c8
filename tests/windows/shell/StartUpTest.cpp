// kelvane.exe itself, started as a user or an installer would start it,
// and ended soon after it is told to.
#include "shell/win/InstallerMutexes.h"
#include "shell/win/PostUpdateRun.h"
#include "tests/windows/support/LocalWebServer.h"
#include "tests/windows/support/PendingOperations.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <optional>
#include <string>

using namespace kelvane;
using namespace kelvane::test;
using Plinth::UniqueHandleObject;

// Which paths are taken, and which refused, is the native tests' business;
// here the real program reads and removes the hand-over file and schedules
// with Wine.
TEST(PostUpdateTest, SchedulesTheDownloadedSetupAndItsFolder) {
    PendingOperations pending;
    const std::string temporary = handOverFilePath().substr(0, handOverFilePath().rfind('\\') + 1);
    const std::string folder =
        temporary + "kelvane-setup-0123456789abcdef" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string setup = folder + "\\kvsetup.exe";
    writeBytes(setup, "MZ");
    writeBytes(handOverFilePath(), setup + "\r\n");
    EXPECT_EQ(runProcess("\"" + programPath("kelvane.exe") + "\" -postupdate"), 0);
    EXPECT_FALSE(pathExists(handOverFilePath()));
    EXPECT_TRUE(anyEntryEndsWith(pending.entries(), setup));
    EXPECT_TRUE(anyEntryEndsWith(pending.entries(), folder)) << "the emptied download folder";
    DeleteFileA(setup.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Even while the update server it asked has accepted the connection and
// says nothing. While it runs, this test process plays the installer that
// looks for its mutexes; and as it is copied anywhere as one file, every
// library it loads must come with the system.
TEST(ProgramEnd, ClosingTheWindowEndsTheProgramWhileTheUpdateServerSaysNothing) {
    LocalWebServer server;
    server.fallSilent();
    // The update check takes the system's internet settings: its request for
    // the published description goes to this proxy while the test runs.
    const char settings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    RegistryValueAside enable(HKEY_CURRENT_USER, settings, "ProxyEnable");
    RegistryValueAside proxy(HKEY_CURRENT_USER, settings, "ProxyServer");
    enable.set(REG_DWORD, std::string("\1\0\0\0", 4));
    proxy.set(REG_SZ, "127.0.0.1:" + std::to_string(server.port()) + '\0');
    // "-nopersist": the check runs at every start, not once a day.
    std::optional<UniqueHandleObject> started =
        startProgram("\"" + programPath("kelvane.exe") + "\" -nopersist");
    ASSERT_TRUE(started && *started);
    const UniqueHandleObject& process = *started;

    EXPECT_TRUE(waitUntil([&] { return !server.requestsFor("").empty(); }, 60000))
        << "the update check asked the server";
    HWND window = nullptr;
    EXPECT_TRUE(waitUntil(
        [&] { // its main window, a dialog
            DWORD owner = 0;
            window = FindWindowA("#32770", nullptr);
            GetWindowThreadProcessId(window, &owner);
            return owner == GetProcessId(process.get()) && IsWindowVisible(window);
        },
        60000));
    for (const char* name : {installerMutexName, globalInstallerMutexName}) {
        EXPECT_TRUE(UniqueHandleObject(OpenMutexA(SYNCHRONIZE, FALSE, name))) << name;
    }
    HMODULE modules[256] = {};
    DWORD size = 0;
    ASSERT_TRUE(K32EnumProcessModules(process.get(), modules, sizeof modules, &size));
    char windows[MAX_PATH] = {}, loaded[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    for (DWORD i = 1; i < size / sizeof *modules; ++i) { // the first is the program
        K32GetModuleFileNameExA(process.get(), modules[i], loaded, MAX_PATH);
        EXPECT_EQ(lowerCase(loaded).rfind(lowerCase(windows), 0), 0u)
            << loaded << " does not come with the system (a compiler runtime?)";
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.get(), 99);
    }
    EXPECT_TRUE(ended) << "a hang check: the program ends within 60 s of the close";
}
