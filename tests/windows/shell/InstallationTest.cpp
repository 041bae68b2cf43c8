// Installing, removing and uninstalling, read back from Wine's registry and
// through the shell's own link object. Every test removes what it made; the
// tests' environment keeps Wine's menu builder from copying the shortcuts
// into the host's menus (tests/CMakeLists.txt).
#include "framework/win/UniqueHandle.h"
#include "shell/InstallationPlan.h"
#include "shell/win/Installation.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/support/PendingOperations.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <tuple>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A string value of an HKLM key; empty when the key or value does not exist.
std::string registryValue(const std::string& key, const char* name) {
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

struct LinkContents {
    bool loaded = false;
    std::string target, arguments, workingFolder;
};

LinkContents readShortcut(const std::string& path) {
    LinkContents contents;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        const std::wstring wide(path.begin(), path.end());
        char target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, folder[MAX_PATH] = {};
        if (file && SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetArguments(arguments, MAX_PATH);
            link->GetWorkingDirectory(folder, MAX_PATH);
            contents = {true, target, arguments, folder};
        }
        if (file) {
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return contents;
}

// Waits for a message box of process, presses button and says
// "caption: text" of the box.
std::string answerBoxOf(DWORD process, int button) {
    HWND box = nullptr;
    waitUntil([&] {
        box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner == process && IsWindowVisible(box)) {
                return true;
            }
        }
        return false;
    });
    char caption[512] = {}, text[512] = {};
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    // Gone before the next box of the same process is looked for.
    waitUntil([box] { return !IsWindow(box); }, 10000);
    return box ? std::string(caption) + ": " + text : "";
}

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(endAllTrayInstances()); }
    void TearDown() override {
        removeInstalled(productName);
        endAllTrayInstances();
        if (!programFolderMade.empty()) {
            DeleteFileA(pathInFolder(programFolderMade, "kelvane.exe").c_str());
            DeleteFileA(pathInFolder(programFolderMade, helpFileName).c_str());
            RemoveDirectoryA(programFolderMade.c_str());
        }
    }
    // A program folder of its own with a copy of the program and a help file.
    std::string makeProgramFolder() {
        programFolderMade = scratchPath("install");
        CreateDirectoryA(programFolderMade.c_str(), nullptr);
        const std::string program = pathInFolder(programFolderMade, "kelvane.exe");
        CopyFileA(programPath("kelvane.exe").c_str(), program.c_str(), FALSE);
        writeBytes(pathInFolder(programFolderMade, helpFileName), "help");
        return pathInFolder(programFolderMade, "kelvane.exe");
    }
    std::string runKelvane(const std::string& word) {
        EXPECT_EQ(runProcess("\"" + programPath("kelvane.exe") + "\" " + word), 0) << word;
        return programPath("kelvane.exe");
    }
    std::string programFolderMade;
};

} // namespace

TEST_F(InstallationTest, InstallRegistersMakesBothShortcutsAndStartsTheTrayAndRemoveUndoesIt) {
    const std::string program = runKelvane("-install");
    const std::string folder = programFolder(program);

    const std::string key = uninstallKeyPath(productName);
    EXPECT_EQ(registryValue(key, "DisplayName"), "Kelvane");
    EXPECT_EQ(lowerCase(registryValue(key, "DisplayIcon")), lowerCase(program));
    EXPECT_EQ(lowerCase(registryValue(key, "UninstallString")),
              lowerCase("\"" + program + "\" -uninstall"));

    // The menu's shortcut and the start-up one of all users, which runs the tray.
    const std::string menuLink = shortcutPath(specialFolder(CSIDL_PROGRAMS), productName);
    const std::string startLink = shortcutPath(specialFolder(CSIDL_COMMON_STARTUP), productName);
    for (const auto& [link, arguments, workingFolder] :
         {std::tuple{menuLink, "", ""}, std::tuple{startLink, "-tray", folder.c_str()}}) {
        LinkContents read = readShortcut(link);
        EXPECT_TRUE(read.loaded) << link;
        EXPECT_EQ(lowerCase(read.target), lowerCase(program)) << link;
        EXPECT_EQ(read.arguments, arguments) << link;
        EXPECT_EQ(lowerCase(read.workingFolder), lowerCase(workingFolder)) << link;
    }
    EXPECT_FALSE(pathExists(shortcutPath(specialFolder(CSIDL_STARTUP), productName)))
        << "the user's folder is only the fall-back";

    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; })) << "the tray instance runs";
    Plinth::UniqueHandleObject another = startTrayProcess();
    ASSERT_TRUE(waitUntil([] { return countTrayInstances() == 2; }));

    runKelvane("-remove");
    EXPECT_EQ(registryValue(key, "DisplayName"), "");
    EXPECT_FALSE(pathExists(menuLink));
    EXPECT_FALSE(pathExists(startLink));
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 0; })) << "remove closes every tray";
    EXPECT_EQ(WaitForSingleObject(another.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(pathExists(program)) << "remove leaves the program file";
}

TEST_F(InstallationTest, TheRealProgramAsksBeforeItUninstallsItself) {
    PendingOperations pending;
    const std::string program = makeProgramFolder();
    const std::string helpFile = pathInFolder(programFolderMade, helpFileName);
    auto uninstallAnswered = [&](std::vector<int> buttons) {
        STARTUPINFOA startup{sizeof startup};
        PROCESS_INFORMATION started{};
        std::string line = "\"" + program + "\" -uninstall";
        if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &started)) {
            return std::vector<std::string>{};
        }
        Plinth::UniqueHandleObject process(started.hProcess), thread(started.hThread);
        std::vector<std::string> seen;
        for (int button : buttons) {
            seen.push_back(answerBoxOf(started.dwProcessId, button));
        }
        EXPECT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
        return seen;
    };

    EXPECT_EQ(uninstallAnswered({IDNO}),
              std::vector<std::string>{"Kelvane: Are you sure you want to uninstall Kelvane?"});
    EXPECT_TRUE(pathExists(helpFile));
    EXPECT_FALSE(anyEntryEndsWith(pending.entries(), program));

    const std::vector<std::string> boxes = uninstallAnswered({IDYES, IDOK});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].rfind("Kelvane: Uninstallation of Kelvane finished successfully.", 0), 0u)
        << boxes[1];
    EXPECT_FALSE(pathExists(helpFile));
    EXPECT_TRUE(pathExists(program));
    const std::vector<std::string> entries = pending.entries();
    EXPECT_TRUE(anyEntryEndsWith(entries, program));
    EXPECT_TRUE(anyEntryEndsWith(entries, programFolderMade));
}
