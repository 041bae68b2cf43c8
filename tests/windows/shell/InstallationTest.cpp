// Installing, removing and uninstalling, read back from Wine's registry and
// through the shell's own link object. Every test removes what it made; the
// tests' environment keeps Wine's menu builder from copying the shortcuts
// into the host's menus (tests/CMakeLists.txt). Which values and paths the
// plan holds is InstallationPlan's native test.
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"
#include "shell/InstallationPlan.h"
#include "shell/win/Installation.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/shell/ProcessWindows.h"
#include "tests/windows/support/PendingOperations.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// The target and arguments of a shortcut; empty when it cannot be read.
std::string readShortcut(const std::string& path) {
    std::string read;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        char target[MAX_PATH] = {}, arguments[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ))) {
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetArguments(arguments, MAX_PATH);
            read = lowerCase(target) + " " + arguments;
        }
        file->Release();
    }
    if (link) {
        link->Release();
    }
    CoUninitialize();
    return read;
}

// The product's name in the list of installed programs, as reg.exe reads it.
std::string displayName() {
    return regQuery("HKLM\\" + uninstallKeyPath(productName))["DisplayName"];
}

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(endAllTrayInstances()); }
    void TearDown() override {
        removeInstalled(productName);
        endAllTrayInstances();
    }
};

} // namespace

// The tray instances hide, count and end with 0 on Exit and on the close
// request that remove sends.
TEST_F(InstallationTest, InstallRegistersMakesBothShortcutsAndStartsTheTrayAndRemoveUndoesIt) {
    const std::string program = programPath("kelvane.exe");
    ASSERT_EQ(runProcess("\"" + program + "\" -install"), 0);
    EXPECT_EQ(displayName(), "Kelvane");
    const std::string menuLink = shortcutPath(specialFolder(CSIDL_PROGRAMS), productName);
    const std::string startLink = shortcutPath(specialFolder(CSIDL_COMMON_STARTUP), productName);
    EXPECT_EQ(readShortcut(menuLink), lowerCase(program) + " ");
    EXPECT_EQ(readShortcut(startLink), lowerCase(program) + " -tray");

    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; })) << "the tray instance runs";
    Plinth::UniqueHandleObject another = startTrayProcess();
    ASSERT_TRUE(waitUntil([] { return countTrayInstances() == 2; }));
    const std::vector<HWND> trays = trayServiceWindows();
    ASSERT_EQ(trays.size(), 2u);
    EXPECT_FALSE(IsWindowVisible(trays[0]) || IsWindowVisible(trays[1])) << "only an icon";
    PostMessageA(trays[0], WM_COMMAND, ID_EXIT, 0);
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; })) << "Exit ends one";

    ASSERT_EQ(runProcess("\"" + program + "\" -remove"), 0);
    EXPECT_EQ(displayName(), "");
    EXPECT_FALSE(pathExists(menuLink) || pathExists(startLink));
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 0; })) << "remove closes every tray";
    DWORD code = 1;
    EXPECT_EQ(WaitForSingleObject(another.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(another.get(), &code) && code == 0) << code;
    EXPECT_TRUE(pathExists(program)) << "remove leaves the program file";
}

TEST_F(InstallationTest, TheRealProgramAsksBeforeItUninstallsItself) {
    PendingOperations pending;
    // A program folder of its own with a copy of the program and a help file.
    const std::string folder = scratchPath("install");
    const std::string program = pathInFolder(folder, "kelvane.exe");
    const std::string helpFile = pathInFolder(folder, helpFileName);
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(programPath("kelvane.exe").c_str(), program.c_str(), FALSE);
    writeBytes(helpFile, "help");
    // The boxes it shows, as "caption: text", each answered with the button.
    auto uninstallAnswered = [&](std::vector<int> buttons) {
        STARTUPINFOA startup{sizeof startup};
        PROCESS_INFORMATION started{};
        std::string line = "\"" + program + "\" -uninstall";
        std::vector<std::string> seen;
        if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &started)) {
            return seen;
        }
        Plinth::UniqueHandleObject process(started.hProcess), thread(started.hThread);
        for (int button : buttons) {
            HWND box = nullptr;
            waitUntil([&] { return (box = visibleDialogOf(started.dwProcessId)) != nullptr; });
            char caption[512] = {}, text[512] = {};
            GetWindowTextA(box, caption, sizeof caption);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            seen.push_back(std::string(caption) + ": " + text);
            PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
            waitUntil([box] { return !IsWindow(box); }, 10000);
        }
        EXPECT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
        return seen;
    };

    EXPECT_EQ(uninstallAnswered({IDNO}),
              std::vector<std::string>{"Kelvane: Are you sure you want to uninstall Kelvane?"});
    EXPECT_TRUE(pathExists(helpFile));
    const std::vector<std::string> boxes = uninstallAnswered({IDYES, IDOK});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].rfind("Kelvane: Uninstallation of Kelvane finished successfully.", 0), 0u)
        << boxes[1];
    EXPECT_FALSE(pathExists(helpFile));
    const std::vector<std::string> entries = pending.entries();
    EXPECT_TRUE(anyEntryEndsWith(entries, program) && anyEntryEndsWith(entries, folder));
    DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
}
