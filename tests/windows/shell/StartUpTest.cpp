// kelvane.exe itself, started as a user or an installer would start it,
// and ended soon after it is told to.
#include "shell/win/AdminRights.h"
#include "shell/win/InstallerMutexes.h"
#include "shell/win/PostUpdateRun.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/shell/ProcessWindows.h"
#include "tests/windows/support/LocalWebServer.h"
#include "tests/windows/support/PendingOperations.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace kelvane;
using namespace kelvane::test;
using Plinth::UniqueHandleObject;

// Which paths are taken, and which refused, is the native tests' business;
// here the real program reads and removes the hand-over file and schedules
// with Wine.
TEST(PostUpdateTest, SchedulesTheDownloadedSetupAndItsFolder) {
    PendingOperations pending;
    char temporary[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temporary);
    const std::string folder = std::string(temporary) + "kelvane-setup-0123456789abcdef" +
                               std::to_string(GetCurrentProcessId());
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

// This test process plays the installer.
TEST(InstallerMutexTest, AnotherProcessOpensBothWhileTheProgramRuns) {
    std::string command = "\"" + programPath("kelvane.exe") + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    UniqueHandleObject processHandle(process.hProcess), threadHandle(process.hThread);
    auto opens = [](const char* name) {
        return static_cast<bool>(UniqueHandleObject(OpenMutexA(SYNCHRONIZE, FALSE, name)));
    };
    EXPECT_TRUE(waitUntil(
        [&] { return opens(installerMutexName) && opens(globalInstallerMutexName); }, 10000));
    TerminateProcess(processHandle.get(), 0);
    WaitForSingleObject(processHandle.get(), 10000);
}

// The program is copied anywhere as one file: every library it imports must
// come with the system.
TEST(ProgramFileTest, ImportsOnlySystemLibraries) {
    const std::string image = fileBytes(programPath("kelvane.exe"));
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        image.data() + reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data())->e_lfanew);
    ASSERT_EQ(nt->Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    auto fileOffset = [&](DWORD rva) -> size_t {
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
            if (rva >= section->VirtualAddress &&
                rva < section->VirtualAddress + section->Misc.VirtualSize) {
                return rva - section->VirtualAddress + section->PointerToRawData;
            }
        }
        return 0;
    };
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    int imported = 0;
    for (auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             image.data() +
             fileOffset(
                 nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress));
         descriptor->Name != 0; ++descriptor, ++imported) {
        const std::string name = image.data() + fileOffset(descriptor->Name);
        EXPECT_TRUE(pathExists(std::string(system) + "\\" + name))
            << name << " does not come with the system (a compiler runtime?)";
    }
    EXPECT_GT(imported, 0);
}

// Even while the update server it asked has accepted the connection and
// says nothing.
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
    const std::string program = programPath("kelvane.exe");
    std::string line = "\"" + program + "\" -nopersist";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    Plinth::UniqueHandleObject process(started.hProcess), thread(started.hThread);

    EXPECT_TRUE(waitUntil([&] { return !server.requestsFor("").empty(); }, 60000))
        << "the update check asked the server";
    HWND window = nullptr;
    EXPECT_TRUE(waitUntil(
        [&] { return (window = visibleDialogOf(started.dwProcessId)) != nullptr; }, 60000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.get(), 99);
    }
    EXPECT_TRUE(ended) << "a hang check: the program ends within 60 s of the close";
}

// The relaunch passes the language switch alone; "-tray" here makes the
// started program visible to this test without a main window.
TEST(ElevationWinTest, AnElevatedStartRunsTheGivenProgramWithItsParameters) {
    ASSERT_TRUE(endAllTrayInstances());
    ASSERT_TRUE(startElevated(programPath("kelvane.exe"), " -swe -tray", nullptr));
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; }));
    EXPECT_TRUE(endAllTrayInstances());
    EXPECT_FALSE(startElevated(programPath("no-such-program.exe"), " -eng", nullptr));
}
