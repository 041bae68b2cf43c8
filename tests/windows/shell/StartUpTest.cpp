// kelvane.exe itself, started as a user or an installer would start it.
#include "shell/win/InstallerMutexes.h"
#include "shell/win/PostUpdateRun.h"
#include "tests/windows/support/PendingOperations.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using namespace kelvane;
using namespace kelvane::test;
using Plinth::UniqueHandleObject;
using Plinth::UniqueKey;

namespace {

std::string temporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    return std::string(buffer, length);
}

} // namespace

// Which paths are taken, and which refused, is the native tests' business;
// here the real program reads and removes the hand-over file and schedules
// with Wine.
TEST(PostUpdateTest, SchedulesTheDownloadedSetupAndItsFolder) {
    PendingOperations pending;
    const std::string postUpdate = "\"" + programPath("kelvane.exe") + "\" -postupdate";
    DeleteFileA(handOverFilePath().c_str());
    EXPECT_EQ(runProcess(postUpdate), 1) << "no hand-over file";

    const std::string unique = std::to_string(GetCurrentProcessId());
    const std::string folder = temporaryFolder() + "kelvane-setup-0123456789abcdef" + unique;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string setup = folder + "\\kvsetup.exe";
    writeBytes(setup, "MZ");
    writeBytes(handOverFilePath(), setup + "\r\n");
    EXPECT_EQ(runProcess(postUpdate), 0);
    EXPECT_FALSE(pathExists(handOverFilePath()));
    EXPECT_TRUE(anyEntryEndsWith(pending.entries(), setup));
    EXPECT_TRUE(anyEntryEndsWith(pending.entries(), folder)) << "the emptied download folder";
    DeleteFileA(setup.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(InstallerMutexTest, AnotherProcessOpensBothWhileTheProgramRuns) {
    // Wait for the program started normally to have created both mutexes;
    // this test process plays the installer.
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

TEST(ProgramFileTest, ImportsOnlySystemLibraries) {
    // The program is copied anywhere as one file: every library it imports
    // must come with the system.
    std::string path = programPath("kelvane.exe");
    const std::string image = fileBytes(path);
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(imports.VirtualAddress, 0u);

    auto sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return 0;
    };

    char systemFolder[MAX_PATH] = {};
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    int imported = 0;
    for (auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             image.data() + fileOffset(imports.VirtualAddress));
         descriptor->Name != 0; ++descriptor, ++imported) {
        std::string name = image.data() + fileOffset(descriptor->Name);
        EXPECT_TRUE(pathExists(std::string(systemFolder) + "\\" + name))
            << name << " does not come with the system (a compiler runtime?)";
    }
    EXPECT_GT(imported, 0);
}
