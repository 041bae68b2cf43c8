// Installing, removing and uninstalling, read back with Wine's reg.exe and
// the shell's own link object. Every test removes what it made.
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
#include <fstream>
#include <map>
#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The string values of an HKLM key as Wine's reg.exe lists them; empty when
// the key does not exist.
std::map<std::string, std::string> registryValues(const std::string& key) {
    std::string output;
    std::map<std::string, std::string> values;
    if (runProcess("reg.exe query \"HKLM\\" + key + "\"", &output) != 0) {
        return values;
    }
    const std::string marker = "    REG_SZ    ";
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        std::string line = output.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? output.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t at = line.find(marker);
        if (at != std::string::npos) {
            values[line.substr(line.find_first_not_of(' '), at - line.find_first_not_of(' '))] =
                line.substr(at + marker.size());
        }
    }
    return values;
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
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(path.begin(), path.end());
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            char text[MAX_PATH] = {};
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            contents.target = text;
            text[0] = 0;
            link->GetArguments(text, MAX_PATH);
            contents.arguments = text;
            text[0] = 0;
            link->GetWorkingDirectory(text, MAX_PATH);
            contents.workingFolder = text;
            contents.loaded = true;
        }
    }
    if (file) {
        file->Release();
    }
    if (link) {
        link->Release();
    }
    CoUninitialize();
    return contents;
}

// A shortcut saved under Wine starts Wine's menu builder, which copies it
// into the host's desktop menus. While this lives, the builder is switched
// off for every process of the prefix.
class NoHostMenus {
public:
    NoHostMenus() {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key_.put(), nullptr);
        DWORD size = sizeof saved_;
        existed_ = RegQueryValueExA(key_.get(), name, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(saved_), &size) == ERROR_SUCCESS;
        RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2);
    }
    ~NoHostMenus() {
        if (existed_) {
            RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_),
                           static_cast<DWORD>(strlen(saved_) + 1));
        } else {
            RegDeleteValueA(key_.get(), name);
        }
    }

private:
    static constexpr const char* name = "winemenubuilder.exe";
    Plinth::UniqueKey key_;
    char saved_[64] = {};
    bool existed_ = false;
};

struct BoxSeen {
    std::string caption, text;
};

// Waits for a message box of process, takes its caption and text and
// presses button.
BoxSeen answerBoxOf(DWORD process, int button) {
    BoxSeen seen;
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
    if (!box) {
        return seen;
    }
    char text[512] = {};
    GetWindowTextA(box, text, sizeof text);
    seen.caption = text;
    text[0] = 0;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    // Gone before the next box of the same process is looked for.
    waitUntil([box] { return !IsWindow(box); }, 10000);
    return seen;
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
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        programFolderMade =
            std::string(temp) + "kvinstall-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(programFolderMade.c_str(), nullptr);
        const std::string program = pathInFolder(programFolderMade, "kelvane.exe");
        CopyFileA(programPath("kelvane.exe").c_str(), program.c_str(), FALSE);
        std::ofstream(pathInFolder(programFolderMade, helpFileName)) << "help";
        return pathInFolder(programFolderMade, "kelvane.exe");
    }
    std::string runKelvane(const std::string& word) {
        EXPECT_EQ(runProcess("\"" + programPath("kelvane.exe") + "\" " + word), 0) << word;
        return programPath("kelvane.exe");
    }
    NoHostMenus noHostMenus;
    std::string programFolderMade;
};

} // namespace

TEST_F(InstallationTest, InstallRegistersMakesBothShortcutsAndStartsTheTrayAndRemoveUndoesIt) {
    const std::string program = runKelvane("-install");
    const std::string folder = programFolder(program);

    auto values = registryValues(uninstallKeyPath(productName));
    EXPECT_EQ(values["DisplayName"], "Kelvane");
    EXPECT_EQ(lowerCase(values["DisplayIcon"]), lowerCase(program));
    EXPECT_EQ(lowerCase(values["UninstallString"]), lowerCase("\"" + program + "\" -uninstall"));

    const std::string menuLink = shortcutPath(specialFolder(CSIDL_PROGRAMS), productName);
    LinkContents menu = readShortcut(menuLink);
    ASSERT_TRUE(menu.loaded) << menuLink;
    EXPECT_EQ(lowerCase(menu.target), lowerCase(program));
    EXPECT_EQ(menu.arguments, "");
    EXPECT_EQ(menu.workingFolder, "");

    const std::string startLink = shortcutPath(specialFolder(CSIDL_COMMON_STARTUP), productName);
    LinkContents start = readShortcut(startLink);
    ASSERT_TRUE(start.loaded) << startLink;
    EXPECT_EQ(lowerCase(start.target), lowerCase(program));
    EXPECT_EQ(start.arguments, "-tray");
    EXPECT_EQ(lowerCase(start.workingFolder), lowerCase(folder));
    EXPECT_FALSE(fileExists(shortcutPath(specialFolder(CSIDL_STARTUP), productName)))
        << "the user's folder is only the fall-back";

    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; })) << "the tray instance runs";

    runKelvane("-remove");
    EXPECT_TRUE(registryValues(uninstallKeyPath(productName)).empty());
    EXPECT_FALSE(fileExists(menuLink));
    EXPECT_FALSE(fileExists(startLink));
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 0; })) << "remove closes the tray";
    EXPECT_TRUE(fileExists(program)) << "remove leaves the program file";
}

TEST_F(InstallationTest, RemoveClosesEveryRunningTrayInstance) {
    Plinth::UniqueHandleObject first = startTrayProcess(), second = startTrayProcess();
    ASSERT_TRUE(waitUntil([] { return countTrayInstances() == 2; }));
    runKelvane("-remove");
    EXPECT_EQ(WaitForSingleObject(first.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second.get(), 30000), WAIT_OBJECT_0);
}

TEST_F(InstallationTest, TheRealProgramAsksBeforeItUninstallsItself) {
    PendingOperations pending;
    const std::string program = makeProgramFolder();
    const std::string helpFile = pathInFolder(programFolderMade, helpFileName);
    auto uninstallAnswered = [&](std::vector<int> buttons) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::string line = "\"" + program + "\" -uninstall";
        if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &started)) {
            return std::vector<BoxSeen>{};
        }
        Plinth::UniqueHandleObject process(started.hProcess), thread(started.hThread);
        std::vector<BoxSeen> seen;
        for (int button : buttons) {
            seen.push_back(answerBoxOf(started.dwProcessId, button));
        }
        EXPECT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
        return seen;
    };

    std::vector<BoxSeen> boxes = uninstallAnswered({IDNO});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Kelvane");
    EXPECT_EQ(boxes[0].text, "Are you sure you want to uninstall Kelvane?");
    EXPECT_TRUE(fileExists(helpFile));
    EXPECT_FALSE(anyEntryEndsWith(pending.entries(), program));

    boxes = uninstallAnswered({IDYES, IDOK});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Kelvane");
    EXPECT_EQ(boxes[1].text.substr(0, 48), "Uninstallation of Kelvane finished successfully.");
    EXPECT_FALSE(fileExists(helpFile));
    EXPECT_TRUE(fileExists(program));
    const std::vector<std::string> entries = pending.entries();
    EXPECT_TRUE(anyEntryEndsWith(entries, program));
    EXPECT_TRUE(anyEntryEndsWith(entries, programFolderMade));
}
